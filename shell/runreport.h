// What an installation left undone, gathered on the way for the finish
// page: files passed over with Ignore, a program group that Program Manager
// did not make, a document template or 3D-controls library that could not
// be placed, and a library that takes its place only when Windows starts
// next, and an installation that cannot be removed automatically.  Also
// where the document template went.  Portable: no windows.h.
#ifndef TOVARIN_SHELL_RUNREPORT_H
#define TOVARIN_SHELL_RUNREPORT_H

#include <stdint.h>

#include "base/text.h"

enum UndoneItem {
    kUndoneFiles      = 0x01,   // files passed over (ignoredFiles)
    kUndoneGroup      = 0x02,   // the program group or one of its items was not made
    kUndoneTemplate   = 0x04,   // the document template is not in the New menu's folder
    kUndoneCtl3d      = 0x08,   // ctl3d32.dll could not be brought up to date
    kCtl3dAtRestart   = 0x10,   // ctl3d32.dll is replaced when Windows starts next
    kUndoneRegistry   = 0x20,   // a file type or the App Paths entry was not written
    kUndoneRecord     = 0x40,   // the installation could not be recorded: no entry promises its removal
};

enum {
    kIgnoredListBytes = 2048,
};

struct RunReport {
    uint32_t undone;                       // UndoneItem bits
    uint32_t ignoredCount;                 // files passed over, also those not listed below
    uint32_t ignoredListed;                // how many of them ignoredFiles holds
    char ignoredFiles[kIgnoredListBytes];  // their target paths, each ended by a NUL, as many as fit
    char templatePath[kPathBytes];         // where the document template is; empty when nowhere
};

extern RunReport runReport;

// Notes a file passed over: its target path (relative to the destination)
// joins the list while there is room; the count always grows.
void NoteIgnoredFile(RunReport* report, const char* targetPath);

// The i-th listed file passed over, or null.
const char* IgnoredFile(const RunReport* report, uint32_t i);

#endif
