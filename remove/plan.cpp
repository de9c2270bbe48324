// The removal plan (see plan.h).
#include "remove/plan.h"

#include "base/text.h"
#include "integration/progmantext.h"

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
    for (; *path != '\0'; path += CharacterLength(path)) {
        if (*path == '\\' && path[1] != '\0')
            ++count;
    }
    return count;
}

// 1 when key is inside or equal to base, letter case ignored.
int KeyWithin(const char* key, const char* base)
{
    return SameTextIgnoringCase(key, base) || IsInsideDirectory(key, base);
}

}  // namespace

uint32_t PathDepth(const char* path)
{
    return Components(path);
}

int LineHolds(const PlanLine* owner, const RecordLine* other)
{
    if (owner->kind == kRecordKey)
        return (other->kind == kRecordKey || other->kind == kRecordValue) &&
               SameTextIgnoringCase(other->field[0], owner->field[0]) && KeyWithin(other->field[1], owner->field[1]);
    if (owner->kind == kRecordGroup)
        return (other->kind == kRecordItem || other->kind == kRecordGroup) &&
               SameTextIgnoringCase(other->field[0], owner->field[0]);
    return 0;
}

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

FileVerdict JudgeTemporary(const char* path, const char* destDir)
{
    FileVerdict verdict = JudgeFile(path, destDir);
    if (verdict == kRemoveFile && TemporaryFileKind(FileNameOf(path)) != kNewContents)
        return kNotTemporaryName;
    return verdict;
}

int IsLastFileLine(const RemovalPlan* plan, uint32_t index)
{
    const char* path = plan->lines[index].field[0];
    for (uint32_t i = index + 1; i < plan->count; ++i) {
        if (plan->lines[i].kind == kRecordFile && SameTextIgnoringCase(plan->lines[i].field[0], path))
            return 0;
    }
    return 1;
}

const char* PlacedFingerprint(const RemovalPlan* plan, uint32_t index)
{
    const char* path = plan->lines[index].field[0];
    for (uint32_t i = index + 1; i < plan->count; ++i) {
        const PlanLine* line = &plan->lines[i];
        if ((line->kind == kRecordFile || line->kind == kRecordPlaced) &&
            SameTextIgnoringCase(line->field[0], path))
            return line->kind == kRecordPlaced ? line->field[1] : nullptr;
    }
    return nullptr;
}

int IsSettingsFile(const char* path)
{
    int dot = LastCharacter(path, '.');
    return dot > LastBackslash(path) && SameTextIgnoringCase(path + dot, ".tvs");
}

int IsOwnTemplatePath(const char* path, const char* const* folders, uint32_t count)
{
    char folder[kPathBytes];
    if (!IsPlainAbsolutePath(path) || !SameTextIgnoringCase(FileNameOf(path), "default.tvd") ||
        ParentDirectory(path, folder, sizeof folder) == 0)
        return 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (folders[i] != nullptr && folders[i][0] != '\0' && SameTextIgnoringCase(folder, folders[i]))
            return 1;
    }
    return 0;
}

int IsRecordedNameSafe(const char* name)
{
    return name[0] != '\0' && IsSafeGroupName(name);
}

RemovalExit RemovalExitCode(const RemovalOutcome* outcome)
{
    if (!outcome->recordRead)
        return kExitNothingRemoved;
    if (outcome->stopped)
        return kExitStopped;
    if (outcome->failed > 0 || outcome->badLine != 0)
        return outcome->removed > 0 ? kExitRemovedInPart : kExitNothingRemoved;
    return kExitRemoved;
}
