// Path text: the directories of a path, volume roots and free-space
// arithmetic.  Paths are ANSI text in 260-byte buffers
// with backslash separators, in drive form (C:\dir) or network form
// (\\server\share\dir).  Portable: no windows.h.
#ifndef TOVARIN_BASE_PATHTEXT_H
#define TOVARIN_BASE_PATHTEXT_H

#include <stddef.h>
#include <stdint.h>

#include "base/text.h"

// Files are read and written in blocks of this size: one buffer, and one
// progress redraw a block.
const uint32_t kCopyBlockBytes = 100000;

// The directory that holds path: path up to, not including, its last
// backslash.  Returns the length, or 0 with out empty when path has no
// backslash or does not fit.
size_t ParentDirectory(const char* path, char* out, size_t capacity);

// Walks the directories that must exist for path, shallowest first, and
// calls make() with each one (the path up to, not including, a backslash,
// or the whole path).  Drive form: after "C:\"; "C:" and "C:\" need none.
// Network form: after "\\server\share\"; the share itself needs none, and
// "\\server" alone is invalid.  Relative paths and paths rooted by a single
// backslash are invalid, and so is a path of 260 bytes or more.
// Returns 1 when every make() returned 1 (or none was needed), 0 at the
// first failure or for an invalid path.
int ForEachDirectoryOfPath(const char* path, int (*make)(const char* dir, void* context),
                           void* context);

// What keeps a typed path from being a full path on a drive, "X:\..." with
// names that Windows can make.
enum DrivePathProblem {
    kDrivePathOk = 0,
    kNotFullPath,       // relative ("TOVARIN"), rooted ("\TOVARIN"), or
                        // relative to a drive's current directory ("C:TOVARIN")
    kNetworkPath,       // "\\SERVER\SHARE\..."
    kBadNameCharacter,  // a control character, one of / " * ? < > |, or a ':'
                        // after the drive's
};
DrivePathProblem CheckDrivePath(const char* path);

// The root of path's volume: "C:\" for the drive form, "\\server\share\"
// for the network form, else the path as it stands.  Returns the length, or
// 0 when it does not fit.
size_t VolumeRoot(const char* path, char* out, size_t capacity);

// Free space in KB, rounded to nearest, from the figures of the volume.
// The product is formed in 64 bits and the result held at 0xFFFFFFFF.
uint32_t FreeSpaceFromClusters(uint32_t freeClusters, uint32_t bytesPerSector,
                               uint32_t sectorsPerCluster);

// The names of the temporary files of the write path: "~tvNNNN.tmp" (four
// hexadecimal digits) holds new contents not yet in place, and "NAME.~tv"
// an earlier file set aside on Windows 95.  kNotTemporary for any other
// name, letter case ignored.
enum TemporaryKind {
    kNotTemporary = 0,
    kNewContents  = 1,
    kSetAside     = 2,
};
TemporaryKind TemporaryFileKind(const char* name);
extern const char kSetAsideSuffix[];   // ".~tv"

#endif
