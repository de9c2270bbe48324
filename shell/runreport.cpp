// What an installation left undone (see runreport.h).
#include "shell/runreport.h"

RunReport runReport;

void NoteIgnoredFile(RunReport* report, const char* targetPath)
{
    report->undone |= kUndoneFiles;
    ++report->ignoredCount;
    size_t used = 0;
    for (uint32_t i = 0; i < report->ignoredListed; ++i)
        used += TextLength(report->ignoredFiles + used) + 1;
    size_t length = TextLength(targetPath);
    if (used + length + 1 > sizeof report->ignoredFiles)
        return;
    CopyText(report->ignoredFiles + used, sizeof report->ignoredFiles - used, targetPath);
    ++report->ignoredListed;
}

const char* IgnoredFile(const RunReport* report, uint32_t i)
{
    if (i >= report->ignoredListed)
        return nullptr;
    const char* text = report->ignoredFiles;
    for (uint32_t k = 0; k < i; ++k)
        text += TextLength(text) + 1;
    return text;
}
