// The removal plan (see plan.h).
#include "remove/plan.h"

#include "base/text.h"

const char kRemovalProgramName[] = "tvremove.exe";
const char kRecordFileName[] = "tvremove.log";
const char kSettingsFileName[] = "tovarin.tvs";

namespace {

struct Filling {
    RemovalPlan* plan;
};

void AddLine(const RecordLine* line, void* context)
{
    RemovalPlan* plan = static_cast<Filling*>(context)->plan;
    PlanLine* out = &plan->lines[plan->count++];
    out->kind = line->kind;
    out->flag = line->flag;
    for (int i = 0; i < kRecordFields; ++i) {
        // The texts of a line never take more room than the line itself,
        // which PlanBytes counted.
        char* copy = plan->texts + plan->textsUsed;
        size_t length = TextLength(line->field[i]);
        for (size_t k = 0; k <= length; ++k)
            copy[k] = line->field[i][k];
        plan->textsUsed += length + 1;
        out->field[i] = copy;
    }
}

uint32_t Components(const char* path)
{
    uint32_t count = 0;
    for (; *path != '\0'; ++path) {
        if (*path == '\\' && path[1] != '\0')
            ++count;
    }
    return count;
}

}  // namespace

size_t PlanBytes(size_t recordSize)
{
    // A line is at least a word, a tab and a field, and its CR LF: six
    // bytes.  Its fields, each with a terminator, need at most its length
    // plus the fields' terminators.
    size_t lines = recordSize / 6 + 1;
    return lines * sizeof(PlanLine) + recordSize + lines * kRecordFields;
}

void MakeRemovalPlan(const char* text, size_t size, void* block, RemovalPlan* plan)
{
    size_t lines = size / 6 + 1;
    plan->lines = static_cast<PlanLine*>(block);
    plan->count = 0;
    plan->texts = static_cast<char*>(block) + lines * sizeof(PlanLine);
    plan->textsUsed = 0;
    Filling filling = {plan};
    ReadRecord(text, size, AddLine, &filling, &plan->badLine);
}

const char* FileNameOf(const char* path)
{
    return path + LastBackslash(path) + 1;
}

FileVerdict JudgeFile(const char* path, const char* destDir)
{
    if (!IsPlainAbsolutePath(path) || !IsInsideDirectory(path, destDir))
        return kOutsideDest;
    const char* name = FileNameOf(path);
    if (SameTextIgnoringCase(name, "ctl3d32.dll"))
        return kSystemLibrary;
    // Only the destination's own copies are the program and its record.
    char own[kPathBytes];
    if ((JoinPath(destDir, kRemovalProgramName, own, sizeof own) != 0 && SameTextIgnoringCase(path, own)) ||
        (JoinPath(destDir, kRecordFileName, own, sizeof own) != 0 && SameTextIgnoringCase(path, own)))
        return kRemovalProgram;
    return kRemoveFile;
}

void OrderDeepestFirst(const char** paths, uint32_t count)
{
    // Insertion sort: stable, and records hold a handful of directories.
    for (uint32_t i = 1; i < count; ++i) {
        const char* moving = paths[i];
        uint32_t depth = Components(moving);
        uint32_t j = i;
        while (j > 0 && Components(paths[j - 1]) < depth) {
            paths[j] = paths[j - 1];
            --j;
        }
        paths[j] = moving;
    }
}
