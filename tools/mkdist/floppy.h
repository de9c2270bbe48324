// The floppy formats that mkdist writes images of, and what a FAT boot
// sector says about the room on a disk.  Portable: no windows.h.
#ifndef TOVARIN_TOOLS_MKDIST_FLOPPY_H
#define TOVARIN_TOOLS_MKDIST_FLOPPY_H

#include <stddef.h>
#include <stdint.h>

#include "tools/mkdist/layout.h"

// A floppy format: its name on mkdist's command line, mformat's arguments
// for it (null-terminated) and a line for the usage.
struct FloppyFormat {
    const char* name;
    const char* mformatArgs[12];
    const char* description;
};

// The formats, ending with a record whose name is null.  The first is the
// default.
extern const FloppyFormat kFloppyFormats[];

// The format of that name, or null.
const FloppyFormat* FindFloppyFormat(const char* name);

// The fields of a FAT boot sector (BIOS parameter block) that the layout
// needs.
struct FatBootSector {
    uint32_t bytesPerSector;
    uint32_t sectorsPerCluster;
    uint32_t reservedSectors;
    uint32_t fatCount;
    uint32_t rootEntries;
    uint32_t totalSectors;
    uint32_t sectorsPerFat;
};

// Reads the boot sector at the start of an image.  Returns 1, or 0 when the
// bytes are not a FAT12 boot sector that this arithmetic can trust (no
// 0x55AA signature, a sector size or cluster size that is not a power of
// two, a file system smaller than its own tables, more clusters than FAT12
// numbers).
int ReadFatBootSector(const uint8_t* bytes, size_t size, FatBootSector* boot);

// The clusters of the data area.
uint32_t FatDataClusters(const FatBootSector& boot);

// The room for files on such a disk: data clusters times cluster bytes, the
// cluster, and the root entries less the one that the volume label takes.
DiskGeometry FatDiskGeometry(const FatBootSector& boot);

#endif
