// WININIT.INI's [rename] section (see wininit.h).
#include "remove/wininit.h"

#include "base/text.h"

namespace {

const char kSection[] = "[rename]";

// 1 when the line text[start, end) is a section header; *isRename says
// whether it is [rename].
int IsSectionLine(const char* text, size_t start, size_t end, int* isRename)
{
    while (start < end && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    if (start == end || text[start] != '[')
        return 0;
    size_t sectionLength = sizeof kSection - 1;
    *isRename = 0;
    if (end - start >= sectionLength) {
        char head[sizeof kSection];
        for (size_t i = 0; i < sectionLength; ++i)
            head[i] = text[start + i];
        head[sectionLength] = '\0';
        *isRename = SameTextIgnoringCase(head, kSection);
    }
    return 1;
}

int Put(char* out, size_t capacity, size_t* used, const char* bytes, size_t length)
{
    if (length > capacity || *used > capacity - length)
        return 0;
    for (size_t i = 0; i < length; ++i)
        out[*used + i] = bytes[i];
    *used += length;
    return 1;
}

}  // namespace

size_t AddWininitDelete(const char* text, size_t size, const char* shortPath, char* out,
                        size_t capacity)
{
    if (shortPath[0] == '\0' || LastCharacter(shortPath, '\r') >= 0 || LastCharacter(shortPath, '\n') >= 0)
        return 0;
    char line[kPathBytes + 8];
    if (ComposeText(line, sizeof line, "NUL=", shortPath, "\r\n") == 0)
        return 0;
    size_t lineLength = TextLength(line);

    // Where the new line goes: after the last line of the [rename] section
    // that is not blank, so that blank lines before the next section stay
    // between the sections.
    size_t insertAt = size;
    int inRename = 0, found = 0;
    for (size_t start = 0; start < size;) {
        size_t end = start;
        while (end < size && text[end] != '\n')
            ++end;
        size_t next = end < size ? end + 1 : end;
        int isRename = 0;
        if (IsSectionLine(text, start, end, &isRename)) {
            if (inRename)
                break;
            inRename = isRename;
            if (isRename) {
                found = 1;
                insertAt = next;
            }
        } else if (inRename) {
            size_t k = start;
            while (k < end && (text[k] == ' ' || text[k] == '\t' || text[k] == '\r'))
                ++k;
            if (k < end)
                insertAt = next;
        }
        start = next;
    }

    size_t used = 0;
    if (!Put(out, capacity, &used, text, insertAt))
        return 0;
    // The line before must be ended: a file whose last line has no CR LF.
    if (insertAt > 0 && text[insertAt - 1] != '\n' && !Put(out, capacity, &used, "\r\n", 2))
        return 0;
    if (!found && !Put(out, capacity, &used, "[rename]\r\n", 10))
        return 0;
    if (!Put(out, capacity, &used, line, lineLength) ||
        !Put(out, capacity, &used, text + insertAt, size - insertAt))
        return 0;
    return used;
}
