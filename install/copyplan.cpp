#include "install/copyplan.h"

#include "resources/resource.h"

#include "base/pathtext.h"

uint32_t ProgressPercent(uint32_t bytesCopied, uint32_t grandTotal)
{
    // grandTotal / 100 is 0 below 100 bytes; count in whole percent there.
    uint64_t percent;
    if (grandTotal >= 100)
        percent = bytesCopied / (grandTotal / 100);
    else if (grandTotal > 0)
        percent = static_cast<uint64_t>(bytesCopied) * 100 / grandTotal;
    else
        percent = 100;
    return percent > 100 ? 100 : static_cast<uint32_t>(percent);
}

int ProgressBarEnd(int right, uint32_t percent)
{
    // Whole-number arithmetic: right / 100.0 * percent in floating point
    // falls just short of some whole ends (29 pixels at 100 % gives 28).
    return static_cast<int>(static_cast<int64_t>(right) * percent / 100);
}

DiskCounter StartDiskCounter()
{
    DiskCounter counter = {1, 1};
    return counter;
}

void NoteFileExpanded(DiskCounter* counter)
{
    if (counter->freshDisk) {
        ++counter->diskNumber;
        counter->freshDisk = 0;
    }
}

void NoteDiskConfirmed(DiskCounter* counter)
{
    counter->freshDisk = 1;
}


int ShouldExpandTarget(const char* targetPath, uint32_t keepSettings, int targetExists)
{
    int dot = LastCharacter(targetPath, '.');
    if (dot < 0)
        return 1;
    return !(keepSettings && targetExists && SameTextIgnoringCase(targetPath + dot, ".tvs"));
}

FailedFileStep StepAfterFailedFile(int answer)
{
    switch (answer) {
    case ANSWER_IGNORE_FILE:
        return kIgnoreFile;
    case ANSWER_ABORT_COPY:
        return kAbortCopy;
    default:
        return kRetryFile;
    }
}

int IsShellNewTemplate(const char* targetPath)
{
    int slash = LastBackslash(targetPath);
    return SameTextIgnoringCase(targetPath + slash + 1, "default.tvd");
}

int32_t MatchCatalogueEntry(const CatalogueEntry* entries, uint32_t count, const char* name,
                            uint32_t mask, int (*sameName)(const char* a, const char* b))
{
    for (uint32_t i = 0; i < count; ++i) {
        if (entries[i].copied == 0 && (entries[i].componentMask & mask) != 0 &&
            sameName(entries[i].sourceName, name))
            return static_cast<int32_t>(i);
    }
    return -1;
}

int AllSelectedCopied(const CatalogueEntry* entries, uint32_t count, uint32_t mask)
{
    for (uint32_t i = 0; i < count; ++i) {
        if (entries[i].copied == 0 && (entries[i].componentMask & mask) != 0)
            return 0;
    }
    return 1;
}
