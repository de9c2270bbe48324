// The removal program, tvremove.exe: what its files offer each other.
//
//   main.cpp     the entry: hands the work to a copy of itself in the
//                temporary directory, which removes everything and then the
//                destination's program and record
//   removal.cpp  the work over the record: files, directories, the template
//   system.cpp   the registry entries and the Program Manager group
//   pages.cpp    the progress page and the boxes
//
// Win32.  The decisions are plain logic in plan.h, wininit.h and
// arguments.h.
#ifndef TOVARIN_REMOVE_REMOVE_H
#define TOVARIN_REMOVE_REMOVE_H

#include <windows.h>
#include <stdint.h>

#include "base/text.h"
#include "remove/plan.h"

extern HINSTANCE removeInstance;

enum {
    kLeftBytes = 1536,    // the names of what was left, for the last box
    kLeftNames = 12,      // names shown; the rest are counted
    kOtherInstallations = 8,   // other destinations' records read for what they share
};

// The names of what the removal left, for the last box.
struct LeftList {
    char text[kLeftBytes];
    uint32_t shown;
    uint32_t more;
};

// The other installations' records, for what two installations share: the
// items of one group.
struct OtherRecords {
    char* texts[kOtherInstallations];   // LocalAlloc'd records, each NUL-terminated
    uint32_t sizes[kOtherInstallations];
    char paths[kOtherInstallations][kPathBytes];
    uint32_t count;
};

struct RemovalRun {
    char destDir[kPathBytes];
    char entryKey[kPathBytes];   // this destination's Add/Remove Programs key, "" when none
    int quiet;
    int keepSettings;
    int stopped;           // the user chose Cancel in a box: nothing more is removed
    int recordRead;        // the record was there
    uint32_t removed;      // actions taken
    uint32_t failed;       // things meant to go that are still there
    RemovalPlan plan;
    OtherRecords others;
    void* planBlock;       // LocalAlloc'd
    HWND progress;
    uint32_t stepsDone, steps;
    LeftList left;
};

// Results of RemoveTovarin.
enum {
    kRemovalDone    = 0,
    kRemovalNoRecord = -1,   // no record: nothing removed
    kRemovalStopped = -2,    // stopped by the user; the entry stays
    kRemovalPartial = -3,    // something meant to go is still there, or the record is
                             // damaged: the record, the program and the entry stay
};

// removal.cpp
// Removes everything the record proves to be Setup's but the destination's
// program and record, and the Add/Remove Programs entry last.
int RemoveTovarin(RemovalRun* run);
// Deletes the destination's program and record and the directories that
// are empty then; lists what is left in the destination.
void RemoveProgramAndRecord(RemovalRun* run);
// Deletes path; a file in use asks Retry, Later or Cancel (a quiet removal
// takes Later).  1 when it is gone or will go at the next start.
int DeleteOrDefer(RemovalRun* run, const char* path);
// Arranges path's deletion when Windows starts next.  1 when arranged.
int DeleteAtRestart(const char* path);
void NoteLeft(LeftList* left, const char* path, int textId);
void FreeRun(RemovalRun* run);

// system.cpp
// Finds this destination's Add/Remove Programs entry (by InstallLocation)
// and reads the records of the other Tovarin installations.  A destination
// that the entry spells another way (short names) takes the entry's
// spelling, which the record's lines use.
void FindInstallations(RemovalRun* run);
void FreeOtherRecords(RemovalRun* run);
void RemoveProgramItems(RemovalRun* run);
void RemoveRegistryEntries(RemovalRun* run);
// Deletes this destination's entry, and only it.
void RemoveUninstallEntry(RemovalRun* run);
// removal.cpp: reads a whole file into a block of its own (LocalAlloc'd,
// one byte more for a NUL); null when there is none or it is too large.
char* ReadWhole(const char* path, DWORD* size);
// system.cpp: appends line to the record at path, after its last whole
// line (a line a killed Setup cut short is its end, and would swallow what
// follows it), with the code page it is in before it: the record may end
// in another.  1 when written and flushed.
int AppendToRecord(const char* path, const PlanLine* line);
// recover.cpp: /recover in destDir: finishes a begun commit or undoes a
// run that never reached it, from the record; its RunOnce value stays
// until everything is done.  An exit code of plan.h.
int Recover(const char* destDir);

// pages.cpp
// Box n (template 32000 + n); text replaces control 100's unless it is
// null or empty.  Returns the id of the button pressed.
int ShowBox(int n, const char* text);
HWND OpenProgress();
void ShowProgress(RemovalRun* run, const char* name);
void CloseProgress(RemovalRun* run);
// A string of the resources into out, capacity bytes: its IDS_X_BYTES;
// "" when it is missing or does not fit.
void LoadRemoveString(int id, char* out, int capacity);

#endif
