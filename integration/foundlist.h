// The found-installations list and the path texts of the search.
//
// A FoundInstallList is one block: a 32-bit little-endian totalLength that
// counts its own 4 bytes, then the directories of earlier installations back
// to back, each followed by one NUL, in the order the search found them.
// Portable: no windows.h; the installer keeps the block in local memory.
#ifndef TOVARIN_INTEGRATION_FOUNDLIST_H
#define TOVARIN_INTEGRATION_FOUNDLIST_H

#include <stddef.h>
#include <stdint.h>

enum { kFoundListHeaderBytes = 4 };

// Reads the list's totalLength.
uint32_t FoundListLength(const uint8_t* block);

// Writes the list's totalLength.
void SetFoundListLength(uint8_t* block, uint32_t totalLength);

// Walks the entries of a list whose block holds blockBytes bytes.  Start
// with *offset = 4.  Returns the entry at *offset and moves *offset past
// it, or returns null at the end.  An entry that runs past totalLength or
// past the block ends the walk, so a damaged list is never read beyond it.
const char* NextFoundEntry(const uint8_t* block, size_t blockBytes, uint32_t* offset);

// Stores directory with its NUL at offset in a block of blockBytes bytes.
// Returns the bytes stored (length + 1), or 0 when it does not fit.
uint32_t StoreFoundEntry(uint8_t* block, size_t blockBytes, uint32_t offset,
                         const char* directory);

// The search pattern of a directory: dir + "*.*" when dir ends with a
// backslash, else dir + "\*.*".  Returns the length, or 0 when it does not
// fit capacity.
size_t SearchPattern(const char* dir, char* out, size_t capacity);

// A directory's child: dir, a backslash unless dir ends with one, name.
// Returns the length, or 0 when it does not fit capacity.
size_t ChildPath(const char* dir, const char* name, char* out, size_t capacity);

// 1 for the entries "." and "..", which the walk skips.
int IsDotEntry(const char* name);

#endif
