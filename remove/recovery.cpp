// The recovery of an interrupted run (see recovery.h).
#include "remove/recovery.h"

#include "base/blockcopy.h"
#include "base/text.h"

namespace {

// The size a fingerprint "XXXXXXXX-N" gives: 1 with *size, or 0 when it is
// none or over 32 bits.
int FingerprintSize(const char* fingerprint, uint32_t* size)
{
    if (!IsFingerprint(fingerprint))
        return 0;
    uint64_t value = 0;
    for (const char* p = fingerprint + 9; *p != '\0'; ++p)
        value = value * 10 + static_cast<uint64_t>(*p - '0');
    if (value > 0xFFFFFFFFu)
        return 0;
    *size = static_cast<uint32_t>(value);
    return 1;
}

// Where the run beginning at index ends: the next BEGIN, or the plan's end.
uint32_t RunEnd(const RemovalPlan* plan, uint32_t begin)
{
    uint32_t i = begin + 1;
    while (i < plan->count && plan->lines[i].kind != kRecordBegin)
        ++i;
    return i;
}

// The index of the first line of kind in [from, end), or end.
uint32_t Find(const RemovalPlan* plan, uint32_t from, uint32_t end, RecordKind kind)
{
    while (from < end && plan->lines[from].kind != kind)
        ++from;
    return from;
}

// The size of the fingerprint the run gives target after line from, if any.
int PlacedSize(const RemovalPlan* plan, uint32_t from, uint32_t end, const char* target, uint32_t* size)
{
    for (uint32_t i = from + 1; i < end; ++i) {
        const PlanLine* line = &plan->lines[i];
        if (line->kind == kRecordPlaced && SameTextIgnoringCase(line->field[0], target))
            return FingerprintSize(line->field[1], size);
    }
    return 0;
}

void Add(RecoveryStep* steps, uint32_t capacity, uint32_t* count, RecoveryStep step)
{
    if (*count < capacity)
        steps[*count] = step;
    ++*count;
}

}  // namespace

int NeedsRecovery(const RemovalPlan* plan)
{
    for (uint32_t begin = Find(plan, 0, plan->count, kRecordBegin); begin < plan->count;
         begin = Find(plan, begin + 1, plan->count, kRecordBegin)) {
        uint32_t end = RunEnd(plan, begin);
        if (Find(plan, begin, end, kRecordCommitted) == end)
            return 1;
    }
    return 0;
}

uint32_t PlanRecovery(const RemovalPlan* plan, RecoveryStep* steps, uint32_t capacity)
{
    uint32_t count = 0;
    for (uint32_t begin = Find(plan, 0, plan->count, kRecordBegin); begin < plan->count;
         begin = Find(plan, begin + 1, plan->count, kRecordBegin)) {
        uint32_t end = RunEnd(plan, begin);
        if (Find(plan, begin, end, kRecordCommitted) != end)
            continue;
        uint32_t commit = Find(plan, begin, end, kRecordCommit);
        // A FILE line and its TEMP line are written together: the pair
        // names the target and the temporary file it was written into.
        for (uint32_t i = begin; i + 1 < end && i < commit; ++i) {
            const PlanLine* file = &plan->lines[i];
            const PlanLine* temp = &plan->lines[i + 1];
            if (file->kind != kRecordFile || temp->kind != kRecordTemporary)
                continue;
            RecoveryStep step = {kRecoverDeleteTemp, file->field[0], temp->field[0], 0, 0};
            if (file->flag && commit != end)
                step.kind = kRecoverReplace;
            Add(steps, capacity, &count, step);
            if (!file->flag) {
                step.kind = kRecoverCheckNew;
                step.hasSize = PlacedSize(plan, i, end, file->field[0], &step.size);
                Add(steps, capacity, &count, step);
            }
        }
    }
    return count;
}
