// The removal program's command line (see arguments.h).
#include "remove/arguments.h"

namespace {

const char* SkipBlanks(const char* p)
{
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

// The word at p (up to a blank) compared with a switch, ignoring case and
// taking "-" for "/".  Returns the text after the word, or null.
const char* TakeSwitch(const char* p, const char* name)
{
    if (*p != '/' && *p != '-')
        return nullptr;
    ++p;
    size_t i = 0;
    for (; name[i] != '\0'; ++i) {
        char c = p[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
        if (c != name[i])
            return nullptr;
    }
    if (p[i] != '\0' && p[i] != ' ' && p[i] != '\t')
        return nullptr;
    return p + i;
}

const char* TakeNumber(const char* p, uint32_t* value)
{
    p = SkipBlanks(p);
    if (*p < '0' || *p > '9')
        return nullptr;
    uint32_t v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        uint32_t digit = static_cast<uint32_t>(*p - '0');
        if (v > (0xFFFFFFFFu - digit) / 10)
            return nullptr;
        v = v * 10 + digit;
    }
    if (*p != '\0' && *p != ' ' && *p != '\t')
        return nullptr;
    *value = v;
    return p;
}

}  // namespace

int ParseRemoveArguments(const char* tail, RemoveArguments* out)
{
    out->quiet = 0;
    out->copy = 0;
    out->event = 0;
    out->process = 0;
    out->result = 0;
    out->destDir[0] = '\0';
    out->recover = 0;
    const char* p = SkipBlanks(tail);
    const char* after = TakeSwitch(p, "recover");
    if (after != nullptr) {
        out->recover = 1;
        return *SkipBlanks(after) == '\0';
    }
    after = TakeSwitch(p, "copy");
    if (after != nullptr) {
        out->copy = 1;
        p = TakeNumber(after, &out->event);
        p = p != nullptr ? TakeNumber(p, &out->process) : nullptr;
        p = p != nullptr ? TakeNumber(p, &out->result) : nullptr;
        if (p == nullptr)
            return 0;
        p = SkipBlanks(p);
    }
    after = TakeSwitch(p, "quiet");
    if (after != nullptr) {
        out->quiet = 1;
        p = SkipBlanks(after);
    }
    if (!out->copy)
        return *p == '\0';

    // The destination: quoted, or the rest of the line without its blanks.
    char dest[kPathBytes];
    size_t length = 0;
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') {
            if (length + 1 >= sizeof dest)
                return 0;
            dest[length++] = *p++;
        }
        if (*p != '"' || *SkipBlanks(p + 1) != '\0')
            return 0;
    } else {
        while (*p != '\0') {
            if (length + 1 >= sizeof dest)
                return 0;
            dest[length++] = *p++;
        }
        while (length > 0 && (dest[length - 1] == ' ' || dest[length - 1] == '\t'))
            --length;
    }
    // "C:\" keeps its backslash: it is the root, not a trailing one.  A
    // backslash's byte may end a double-byte character: the last character
    // is found from the front.
    dest[length] = '\0';
    for (int last = LastCharacterIndex(dest); length > 3 && last >= 0 && dest[last] == '\\';
         last = LastCharacterIndex(dest)) {
        dest[last] = '\0';
        length = static_cast<size_t>(last);
    }
    if (length == 0)
        return 0;
    CopyText(out->destDir, sizeof out->destDir, dest);
    return 1;
}

size_t FormatCopyCommand(const char* program, uint32_t event, uint32_t process, uint32_t result, int quiet,
                         const char* destDir, char* out, size_t capacity)
{
    char eventText[12], processText[12], resultText[12];
    FormatGrouped(event, 0, eventText, sizeof eventText);
    FormatGrouped(process, 0, processText, sizeof processText);
    FormatGrouped(result, 0, resultText, sizeof resultText);
    char head[kPathBytes + 60];
    if (ComposeText(head, sizeof head, "\"", program, "\" /copy ", eventText, " ") == 0 ||
        AppendText(head, sizeof head, processText) == 0 || AppendText(head, sizeof head, " ") == 0)
        return 0;
    return ComposeText(out, capacity, head, resultText, quiet ? " /quiet \"" : " \"", destDir, "\"");
}
