// What the removal takes away and in which order, decided from the record
// alone.  The record is copied into a plan (its lines and their texts, in
// a block the caller gives), each file line is judged against the
// destination, and the directories go deepest first.  Portable: no
// windows.h.
#ifndef TOVARIN_REMOVE_PLAN_H
#define TOVARIN_REMOVE_PLAN_H

#include <stddef.h>
#include <stdint.h>

#include "install/record.h"

struct PlanLine {
    RecordKind kind;
    int flag;
    const char* field[kRecordFields];
};

struct RemovalPlan {
    PlanLine* lines;
    uint32_t count;
    uint32_t badLine;     // ReadRecord's: the line that stopped it, or 0
    char* texts;          // the lines' fields, one after the other
    size_t textsUsed;
};

// The bytes a plan of a record of size bytes needs at most.
size_t PlanBytes(size_t recordSize);

// Fills plan from the record in text, in the block (PlanBytes(size) bytes,
// aligned for pointers).  Only the lines before the first one the reader
// cannot account for go into the plan; plan->badLine names that one.
void MakeRemovalPlan(const char* text, size_t size, void* block, RemovalPlan* plan);

// How a FILE or TEMP line's path stands.
enum FileVerdict {
    kRemoveFile      = 0,
    kOutsideDest     = 1,   // not inside the destination: never Setup's to delete
    kSystemLibrary   = 2,   // ctl3d32.dll, which other programs load
    kRemovalProgram  = 3,   // the removal program or its record, taken away last
    kNotTemporaryName = 4,  // a TEMP line naming a file that is no temporary file of the write path
};
FileVerdict JudgeFile(const char* path, const char* destDir);
// The same for a TEMP line: only the write path's own "~tvNNNN.tmp" names
// inside the destination are Setup's temporary files.
FileVerdict JudgeTemporary(const char* path, const char* destDir);

// For the FILE line at index: 1 when no later FILE line names the same
// file (a later installation's line decides for it).
int IsLastFileLine(const RemovalPlan* plan, uint32_t index);

// The fingerprint the record gives the file of the FILE line at index: a
// PLACED line after it for the same file, and before any later FILE line
// of it.  Null when there is none (a kill between the two lines, or a
// record of a Setup that wrote no fingerprints): the file is then removed
// as Setup's without one.
const char* PlacedFingerprint(const RemovalPlan* plan, uint32_t index);

// 1 when path names a settings file ("*.tvs"), which is the user's to keep.
int IsSettingsFile(const char* path);

// 1 when a TEMPLATE line's path is the document template "default.tvd"
// directly inside one of the count folders the New menu's template is
// placed in (letter case ignored).  A record naming any other file is not
// Setup's to delete, whatever its fingerprint.
int IsOwnTemplatePath(const char* path, const char* const* folders, uint32_t count);

// 1 when a GROUP or ITEM line's name can go into a command quoted: what
// Setup accepts as a group name, not empty.
int IsRecordedNameSafe(const char* name);

// 1 when other, a line of another installation's record, names something
// inside what owner (a KEY or a new GROUP line of this record) made: a
// value or key in that key or below it, an item of that group.  Then the
// removal that keeps owner because it is not empty hands its line over to
// that record, whose removal takes it once it is empty.
int LineHolds(const PlanLine* owner, const RecordLine* other);

// How many backslashes part a path or a registry key (its depth).
uint32_t PathDepth(const char* path);

// The removal's exit codes, for the program that Add/Remove Programs or a
// script starts.
enum RemovalExit {
    kExitRemoved       = 0,   // everything meant to go is gone (kept settings, files the user
                              // changed and files that go at the next start count as gone)
    kExitNothingRemoved = 1,  // no record, a bad command line, the copy could not start
    kExitStopped       = 2,   // stopped by the user
    kExitRemovedInPart = 3,   // something the removal meant to delete is still there
};

// What a removal did, for its exit code.
struct RemovalOutcome {
    int recordRead;    // there was a record to work from
    int stopped;       // the user chose Cancel
    uint32_t removed;  // actions taken (files, items, values, ...)
    uint32_t failed;   // things meant to go that are still there
    uint32_t badLine;  // the record's damaged line, or 0
};
RemovalExit RemovalExitCode(const RemovalOutcome* outcome);

// The file name of a path: what follows its last backslash.
const char* FileNameOf(const char* path);

// Orders paths so that every directory comes before the directories that
// hold it (more components first), keeping the record's order otherwise.
void OrderDeepestFirst(const char** paths, uint32_t count);

// The names the program and its record have in the destination.
extern const char kRemovalProgramName[];   // "tvremove.exe"
extern const char kRecordFileName[];       // "tvremove.log"
extern const char kSettingsFileName[];     // "tovarin.tvs"

#endif
