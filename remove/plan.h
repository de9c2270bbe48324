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
};
FileVerdict JudgeFile(const char* path, const char* destDir);

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
