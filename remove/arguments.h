// The removal program's command line.  Add/Remove Programs starts it with
// none (UninstallString) or with /quiet (QuietUninstallString); the program
// started from the destination starts its copy in the temporary directory
// with /copy, the two handles the copy signals and waits for, the pipe it
// hands its result through, and the destination:
//
//   tvremove.exe [/quiet]
//   tvremove.exe /copy EVENT PROCESS RESULT [/quiet] DESTINATION
//   tvremove.exe /recover
//
// /recover finishes or undoes a run of Setup cut short in the program's
// own directory (its RunOnce value, or Setup's next start, runs it).
//
// Portable: no windows.h.
#ifndef TOVARIN_REMOVE_ARGUMENTS_H
#define TOVARIN_REMOVE_ARGUMENTS_H

#include <stddef.h>
#include <stdint.h>

#include "base/text.h"

struct RemoveArguments {
    int quiet;
    int copy;                  // 1: this is the copy in the temporary directory
    int recover;               // 1: /recover
    uint32_t event;            // the copy's: the handle it signals when all is removed
    uint32_t process;          // the copy's: the handle of the program that started it
    uint32_t result;           // the copy's: the pipe it writes its exit code into before it signals
    char destDir[kPathBytes];  // the copy's: the destination, without a trailing backslash
};

// Reads the command tail (after the program name).  1 when it is one of
// the forms above (switches in either letter case, "-" for "/"), else
// 0.  The destination may be quoted; a trailing backslash is dropped.
int ParseRemoveArguments(const char* tail, RemoveArguments* out);

// The copy's command line: the quoted program path and its arguments.
// Returns the length, or 0 when it does not fit.
size_t FormatCopyCommand(const char* program, uint32_t event, uint32_t process, uint32_t result, int quiet,
                         const char* destDir, char* out, size_t capacity);

#endif
