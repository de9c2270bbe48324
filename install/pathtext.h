// Path text: bounded copies, joining, the directories of a path, volume
// roots and free-space arithmetic.  Paths are ANSI text in 260-byte buffers
// with backslash separators, in drive form (C:\dir) or network form
// (\\server\share\dir).  Portable: no windows.h.
#ifndef TOVARIN_INSTALL_PATHTEXT_H
#define TOVARIN_INSTALL_PATHTEXT_H

#include <stddef.h>
#include <stdint.h>

// Length of a NUL-terminated text.
size_t TextLength(const char* text);

// Copies text into out (capacity bytes with the terminator).  Returns the
// length copied, or 0 with out empty when the text does not fit.  Texts
// never come back cut: a path cut short names another file.
size_t CopyText(char* out, size_t capacity, const char* text);

// Appends text to the NUL-terminated out.  Returns the new length, or 0
// with out unchanged when the result would not fit.
size_t AppendText(char* out, size_t capacity, const char* text);

// dir, a backslash unless dir ends with one, then name.  Returns the length,
// or 0 with out empty when dir is empty or the result does not fit.
size_t JoinPath(const char* dir, const char* name, char* out, size_t capacity);

// Index of the last backslash in text, or -1.
int LastBackslash(const char* text);

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

// The root of path's volume: "C:\" for the drive form, "\\server\share\"
// for the network form, else the path as it stands.  Returns the length, or
// 0 when it does not fit.
size_t VolumeRoot(const char* path, char* out, size_t capacity);

// Free space in KB, rounded to nearest, from the figures of the volume.
// The product is formed in 64 bits and the result held at 0xFFFFFFFF.
uint32_t FreeSpaceFromClusters(uint32_t freeClusters, uint32_t bytesPerSector,
                               uint32_t sectorsPerCluster);

#endif
