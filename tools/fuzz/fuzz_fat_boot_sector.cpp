// Fuzz target of the FAT boot sector reader (infdump takes any file): any
// input is refused or read without reading out of bounds, and what it
// accepts gives a disk whose clusters fit FAT12 and the disk itself.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include "tools/mkdist/floppy.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FatBootSector boot;
    if (!ReadFatBootSector(data, size, &boot)) return 0;
    uint32_t clusters = FatDataClusters(boot);
    if (clusters == 0 || clusters > 4084) abort();
    DiskGeometry disk = FatDiskGeometry(boot);
    if (disk.capacity > uint64_t(boot.totalSectors) * boot.bytesPerSector) abort();
    if (disk.rootEntries + 1 != boot.rootEntries) abort();
    return 0;
}
