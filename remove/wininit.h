// Deleting a file when Windows 95 starts next: a "NUL=<path>" line in the
// [rename] section of WININIT.INI, which Windows 95 carries out before it
// loads anything and then renames the file to WININIT.BAK.  The section may
// hold many NUL= keys, which WritePrivateProfileString cannot write (it
// replaces the first), so the line is added to the file's text here.
// Portable: no windows.h.
#ifndef TOVARIN_REMOVE_WININIT_H
#define TOVARIN_REMOVE_WININIT_H

#include <stddef.h>

// Writes into out the text of WININIT.INI (size bytes, maybe none) with
// "NUL=" shortPath and a CR LF added as the last line of its [rename]
// section (the section name's case ignored), or a new section at the end
// when it has none.  The lines already there stay as they are.  shortPath
// must be an 8.3 path: Windows 95 reads the file before long names exist.
// Returns the new length, or 0 (out unusable) when the path is empty or
// holds a line break, or the result does not fit capacity.
size_t AddWininitDelete(const char* text, size_t size, const char* shortPath, char* out,
                        size_t capacity);

#endif
