// Short names and the spread of the files over disks, for mkdist.
// Portable: no windows.h.
#ifndef TOVARIN_TOOLS_MKDIST_LAYOUT_H
#define TOVARIN_TOOLS_MKDIST_LAYOUT_H

#include <stdint.h>

#include <set>
#include <string>
#include <vector>

// A disk: its capacity in bytes, the allocation unit that every file is
// rounded up to, and how many files its root directory holds.  The 3.5-inch
// floppy: 1,457,664 bytes in 512-byte clusters, 224 root entries.
struct DiskGeometry {
    uint64_t capacity;
    uint64_t cluster;
    uint32_t rootEntries;
};

enum {
    kFloppyCapacity    = 1457664,
    kFloppyCluster     = 512,
    kFloppyRootEntries = 224,
};

// Bytes that a file of the given size takes on the disk.
uint64_t DiskBytes(const DiskGeometry& disk, uint64_t size);

// A unique 8.3 name, lower case, for the installed file name (the last part
// of the target path).  Characters that a FAT name cannot hold become '_';
// a compressed file's extension ends in '_' as the COMPRESS tool names it;
// a name already in *taken (compared in lower case) gets a "~N" tail.  The
// result is added to *taken.
std::string ShortDiskName(const std::string& targetPath, bool compressed, std::set<std::string>* taken);

// Spreads files over disks in the given order, each to the first disk with
// room for it (bytes and a root entry).  Disk 0 starts with firstDiskBytes
// and firstDiskEntries already used (setup.exe, setup.inf, ctl3d32.dll).
// Returns -1 and fills (*diskOf)[i] with the 0-based disk of each file, or
// the index of the first file that does not fit an empty disk; returns
// -2 when the disk 1 files alone do not fit.
int SpreadOverDisks(const DiskGeometry& disk, const std::vector<uint64_t>& sizes,
                    uint64_t firstDiskBytes, uint32_t firstDiskEntries, std::vector<int>* diskOf);

#endif
