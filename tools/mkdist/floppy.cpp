#include "tools/mkdist/floppy.h"

#include <string.h>

// 80 tracks and 2 heads each.  mformat's -f gives the standard formats'
// boot sectors; DMF (21 sectors a track, one root directory sector of 16
// entries) is spelt out, with 2048-byte clusters or 1024-byte ones.
const FloppyFormat kFloppyFormats[] = {
    {"1440", {"-f", "1440", nullptr}, "3.5-inch 1.44 MB, 512-byte clusters, 224 root entries"},
    {"dmf", {"-t", "80", "-h", "2", "-s", "21", "-c", "4", "-r", "1", nullptr},
     "3.5-inch DMF 1.68 MB, 2048-byte clusters, 16 root entries"},
    {"dmf1024", {"-t", "80", "-h", "2", "-s", "21", "-c", "2", "-r", "1", nullptr},
     "3.5-inch DMF 1.68 MB, 1024-byte clusters, 16 root entries"},
    {"1200", {"-f", "1200", nullptr}, "5.25-inch 1.2 MB, 512-byte clusters, 224 root entries"},
    {"720", {"-f", "720", nullptr}, "3.5-inch 720 KB, 1024-byte clusters, 112 root entries"},
    {nullptr, {nullptr}, nullptr},
};

const FloppyFormat* FindFloppyFormat(const char* name)
{
    for (const FloppyFormat* f = kFloppyFormats; f->name != nullptr; ++f) {
        if (strcmp(f->name, name) == 0) return f;
    }
    return nullptr;
}

namespace {

uint32_t Word(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

uint32_t Dword(const uint8_t* p)
{
    return Word(p) | Word(p + 2) << 16;
}

bool PowerOfTwo(uint32_t v)
{
    return v != 0 && (v & (v - 1)) == 0;
}

uint32_t RootSectors(const FatBootSector& b)
{
    return (b.rootEntries * 32 + b.bytesPerSector - 1) / b.bytesPerSector;
}

// Sectors before the data area.
uint64_t SystemSectors(const FatBootSector& b)
{
    return uint64_t(b.reservedSectors) + uint64_t(b.fatCount) * b.sectorsPerFat + RootSectors(b);
}

}  // namespace

int ReadFatBootSector(const uint8_t* bytes, size_t size, FatBootSector* boot)
{
    if (size < 512 || bytes[510] != 0x55 || bytes[511] != 0xAA) return 0;
    FatBootSector b;
    b.bytesPerSector = Word(bytes + 11);
    b.sectorsPerCluster = bytes[13];
    b.reservedSectors = Word(bytes + 14);
    b.fatCount = bytes[16];
    b.rootEntries = Word(bytes + 17);
    b.totalSectors = Word(bytes + 19);
    if (b.totalSectors == 0) b.totalSectors = Dword(bytes + 32);
    b.sectorsPerFat = Word(bytes + 22);
    if (!PowerOfTwo(b.bytesPerSector) || b.bytesPerSector < 128 || b.bytesPerSector > 4096 ||
        !PowerOfTwo(b.sectorsPerCluster) || b.reservedSectors == 0 || b.fatCount == 0 ||
        b.sectorsPerFat == 0 || b.rootEntries == 0 || SystemSectors(b) >= b.totalSectors) {
        return 0;
    }
    // FAT12: at most 4084 clusters, and each FAT numbers every one of them
    // (1.5 bytes an entry, two reserved entries).
    uint32_t clusters = FatDataClusters(b);
    if (clusters == 0 || clusters > 4084 ||
        uint64_t(clusters + 2) * 3 > uint64_t(b.sectorsPerFat) * b.bytesPerSector * 2) {
        return 0;
    }
    *boot = b;
    return 1;
}

uint32_t FatDataClusters(const FatBootSector& boot)
{
    return uint32_t((boot.totalSectors - SystemSectors(boot)) / boot.sectorsPerCluster);
}

DiskGeometry FatDiskGeometry(const FatBootSector& boot)
{
    uint64_t cluster = uint64_t(boot.bytesPerSector) * boot.sectorsPerCluster;
    return {FatDataClusters(boot) * cluster, cluster, boot.rootEntries - 1};
}
