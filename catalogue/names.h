// What a catalogue entry may name: a source that is a bare file name on the
// distribution disk, and a target that stays inside the destination
// directory.  The one definition of both rules: the installer refuses a
// catalogue that breaks them, and the distribution tools refuse to write
// or pass one.  Portable: no windows.h.
#ifndef TOVARIN_CATALOGUE_NAMES_H
#define TOVARIN_CATALOGUE_NAMES_H

#include <stddef.h>

// What is wrong with a target path, in the order the checks run.
enum TargetProblem {
    kTargetOk = 0,
    kTargetEmpty,              // ""
    kTargetTooLong,            // 260 characters or more: no room for its NUL
    kTargetRooted,             // starts with '\' or '/': the root of a drive
    kTargetDrive,              // holds a ':' ("C:x", "x\C:y", "a:b")
    kTargetForwardSlash,       // '/' elsewhere: Windows takes it for '\'
    kTargetTrailingSeparator,  // ends with '\': names a directory, not a file
    kTargetBadCharacter,       // a control character or one of < > " | ? *
    kTargetEmptyPart,          // "a\\b", "a\  \b": an empty directory name
    kTargetParent,             // a part of dots (and blanks) with two dots or
                               // more: "..", "...", ".. " leave the directory
    kTargetDot,                // a part that is "." (or ". ")
};

// Checks a NUL-terminated target path.  *at (when not null) receives the
// index of the character or the start of the part at fault, 0 for a
// problem of the whole path.
TargetProblem CheckTargetPath(const char* target, size_t* at);

// 1 when source names a file in the installer's directory: no '\', '/' or
// ':', and not empty, "." or ".." (blanks and dots at its end dropped).
int IsBareFileName(const char* source);

#endif
