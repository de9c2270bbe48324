// The lines of what a run left undone (see undone.h).
#include "wizard/undone.h"

#include "resources/resource.h"

namespace {

// The lines that name no file, in the order shown.
struct PlainLine {
    uint32_t bit;
    int stringId;
};
const PlainLine kPlainLines[] = {
    {kUndoneGroup, IDS_UNDONE_GROUP},
    {kUndoneTemplate, IDS_UNDONE_TEMPLATE},
    {kUndoneCtl3d, IDS_UNDONE_CTL3D},
    {kCtl3dAtRestart, IDS_CTL3D_AT_RESTART},
    {kUndoneRegistry, IDS_UNDONE_REGISTRY},
    {kUndoneRecord, IDS_UNDONE_RECORD},
};

int Line(UndoneLine* line, int stringId, const char* text, uint32_t number)
{
    line->stringId = stringId;
    line->text = text;
    line->number = number;
    return 1;
}

}  // namespace

int UndoneLineAt(const RunReport* report, uint32_t index, UndoneLine* line)
{
    if (report->undone & kUndoneFiles) {
        if (index < report->ignoredListed)
            return Line(line, IDS_UNDONE_FILE, IgnoredFile(report, index), 0);
        index -= report->ignoredListed;
        if (report->ignoredCount > report->ignoredListed) {
            if (index == 0)
                return Line(line, IDS_UNDONE_MORE_FILES, nullptr,
                            report->ignoredCount - report->ignoredListed);
            --index;
        }
    }
    for (const PlainLine& plain : kPlainLines) {
        if (!(report->undone & plain.bit))
            continue;
        if (index-- != 0)
            continue;
        // The template names where it stayed, when it is anywhere.
        if (plain.bit == kUndoneTemplate)
            return report->templatePath[0] != '\0'
                       ? Line(line, IDS_UNDONE_TEMPLATE, report->templatePath, 0)
                       : Line(line, IDS_UNDONE_TEMPLATE_LOST, nullptr, 0);
        return Line(line, plain.stringId, nullptr, 0);
    }
    return 0;
}
