#include "integration/shelltext.h"

#include "install/pathtext.h"

const char kDefaultGroupName[] = "Tovarin95 Demo";
const char kApplicationItem[] = "Tovarin";

namespace {

// Joins up to four texts into out; 0 with out empty when they do not fit.
size_t Compose(char* out, size_t capacity, const char* a, const char* b = "",
               const char* c = "", const char* d = "", const char* e = "")
{
    if (capacity == 0)
        return 0;
    out[0] = '\0';
    const char* parts[] = {a, b, c, d, e};
    for (const char* part : parts) {
        if (part[0] != '\0' && AppendText(out, capacity, part) == 0) {
            out[0] = '\0';
            return 0;
        }
    }
    return TextLength(out);
}

int HasBlank(const char* text)
{
    for (; *text != '\0'; ++text) {
        if (*text == ' ')
            return 1;
    }
    return 0;
}

}  // namespace

size_t ItemPath(const char* destDir, const char* tail, char* out, size_t capacity)
{
    const char* quote = HasBlank(destDir) ? "\"" : "";
    return Compose(out, capacity, quote, destDir, tail, quote);
}

size_t GuideTail(const char* guideDirectory, char* out, size_t capacity)
{
    return Compose(out, capacity, "\\", guideDirectory, "\\guide.hlp");
}

size_t CreateGroupCommand(const char* group, char* out, size_t capacity)
{
    return Compose(out, capacity, "[CreateGroup(\"", group, "\")]");
}

size_t ShowGroupCommand(const char* group, char* out, size_t capacity)
{
    return Compose(out, capacity, "[ShowGroup(\"", group, "\", 1)]");
}

size_t DeleteItemCommand(const char* item, char* out, size_t capacity)
{
    return Compose(out, capacity, "[DeleteItem(", item, ")]");
}

size_t AddApplicationCommand(const char* path, char* out, size_t capacity)
{
    return Compose(out, capacity, "[AddItem(", path, ", Tovarin, ", path, ", 0)]");
}

size_t AddReadMeCommand(const char* path, const char* item, char* out, size_t capacity)
{
    return Compose(out, capacity, "[AddItem(", path, ", ", item, ", write.exe, 0)]");
}

size_t AddGuideCommand(const char* path, const char* item, char* out, size_t capacity)
{
    char first[1024];
    if (Compose(first, sizeof first, "[AddItem(", path, ", ", item, ", ") == 0)
        return 0;
    return Compose(out, capacity, first, path, ", 0)]");
}

int IsSafeGroupName(const char* group)
{
    for (; *group != '\0'; ++group) {
        if (*group == '"' || *group == '[' || *group == ']')
            return 0;
    }
    return 1;
}

void SplitGroupList(char* text, size_t size, void (*add)(const char* group, void* context),
                    void* context)
{
    size_t start = 0;
    for (size_t i = 0; i < size && text[i] != '\0'; ++i) {
        if (text[i] != '\n')
            continue;
        size_t end = i;
        if (end > start && text[end - 1] == '\r')
            --end;
        text[end] = '\0';
        // An empty line names no group (Wine's Program Manager answers
        // just a line end when it has nothing to list).
        if (end > start)
            add(text + start, context);
        start = i + 1;
    }
}

size_t OpenCommandText(const char* destDir, char* out, size_t capacity)
{
    return Compose(out, capacity, destDir, "\\tovarin.exe \"%1\"");
}

size_t IconText(const char* destDir, int index, char* out, size_t capacity)
{
    const char digit[2] = {static_cast<char>('0' + (index % 10)), '\0'};
    return Compose(out, capacity, destDir, "\\tovarin.exe ,", digit);
}

size_t AppPathText(const char* destDir, char* out, size_t capacity)
{
    return Compose(out, capacity, destDir, "\\tovarin.exe");
}

size_t TemplateFilenameText(const char* templates, char* out, size_t capacity)
{
    return Compose(out, capacity, templates, "\\default.tvd");
}

uint32_t VersionDigitsNumber(const char* text)
{
    uint32_t number = 0;
    for (; *text != '\0'; ++text) {
        if (*text >= '0' && *text <= '9')
            number = number * 10u + static_cast<uint32_t>(*text - '0');
    }
    return number;
}
