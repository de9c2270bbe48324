// Path and disk operations that every layer asks for: whether a directory
// exists, making the directories of a path, the installer's own directory,
// creating a target file, and free space.  Win32; includes nothing of ours
// but the base.
#ifndef TOVARIN_BASE_PATHS_H
#define TOVARIN_BASE_PATHS_H

#include <windows.h>
#include <stdint.h>

#include "base/pathtext.h"

// Reads text in the system's ANSI code page from now on, with the system's
// lead bytes (base/text.h).  Once, at start-up.
void UseSystemCodePage();

// Lowers a path in place for the user's eyes and Program Manager: as the
// system does (CharLowerA) in a code page of single bytes; in a double-byte
// one only its single-byte letters, as paths compare there (base/text.h),
// so that a path lowered still names the directory the user typed.
void LowerPath(char* path);

// 1 when dir can be listed (an empty directory included), else 0.
int DirectoryExists(const char* dir);

// 1 when path names a file (not a directory) that exists, whether or not
// it can be opened: a file held open by another program exists too.
int FileExists(const char* path);

// path as the system spells it (GetFullPathNameA: no doubled backslash,
// no "." or ".." part, no trailing dots or blanks), without a trailing
// backslash but for a drive's root, into out (kPathBytes).  Every place
// that names the destination (the record, the registry, the group) uses
// this one form, so that one directory has one spelling.  Returns the
// length, or 0 with out empty when path cannot be made whole or its whole
// form does not fit.
size_t WholePath(const char* path, char* out);

// Creates every missing directory of a drive or network path.  1 when all
// of them exist afterwards, 0 at the first that cannot be made.
int CreateDirectoryPath(const char* path);

// The user's folder of that name (a value of the shell's "Shell Folders"
// key: "Programs", "Templates") into folder (kPathBytes).  0 when unknown.
int ShellFolder(const char* name, char* folder);

// The directory the installer was started from, without a trailing
// backslash.  0 when the module name is unusable.
int InstallerDirectory(char* dir, size_t capacity);

// Creates a file anew for writing, clearing a read-only attribute left by
// an earlier installation.  INVALID_HANDLE_VALUE when it cannot be made.
HANDLE CreateTargetFile(const char* path);

// Free space of the volume of path, in KB rounded to nearest; 0 when the
// system cannot tell.
uint32_t FreeSpaceKB(const char* path);

#endif
