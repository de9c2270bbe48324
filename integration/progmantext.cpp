// Program Manager's commands and item paths, and its group list.
#include "integration/progmantext.h"

#include "base/text.h"

const char kDefaultGroupName[] = "Tovarin95 Demo";
const char kApplicationItem[] = "Tovarin";

size_t ItemPath(const char* destDir, const char* tail, char* out, size_t capacity)
{
    if (LastCharacter(destDir, '"') >= 0 || LastCharacter(tail, '"') >= 0) {
        if (capacity != 0)
            out[0] = '\0';
        return 0;
    }
    return ComposeText(out, capacity, "\"", destDir, tail, "\"");
}

size_t GuideTail(const char* guideDirectory, char* out, size_t capacity)
{
    return ComposeText(out, capacity, "\\", guideDirectory, "\\guide.hlp");
}

size_t CreateGroupCommand(const char* group, char* out, size_t capacity)
{
    return ComposeText(out, capacity, "[CreateGroup(\"", group, "\")]");
}

size_t ShowGroupCommand(const char* group, char* out, size_t capacity)
{
    return ComposeText(out, capacity, "[ShowGroup(\"", group, "\", 1)]");
}

size_t DeleteItemCommand(const char* item, char* out, size_t capacity)
{
    return ComposeText(out, capacity, "[DeleteItem(", item, ")]");
}

size_t DeleteQuotedItemCommand(const char* item, char* out, size_t capacity)
{
    return ComposeText(out, capacity, "[DeleteItem(\"", item, "\")]");
}

size_t DeleteGroupCommand(const char* group, char* out, size_t capacity)
{
    return ComposeText(out, capacity, "[DeleteGroup(\"", group, "\")]");
}

size_t AddApplicationCommand(const char* path, const char* item, char* out, size_t capacity)
{
    return AddGuideCommand(path, item, out, capacity);
}

size_t AddReadMeCommand(const char* path, const char* item, char* out, size_t capacity)
{
    return ComposeText(out, capacity, "[AddItem(", path, ", ", item, ", \"write.exe\", 0)]");
}

size_t AddGuideCommand(const char* path, const char* item, char* out, size_t capacity)
{
    char first[1024];
    if (ComposeText(first, sizeof first, "[AddItem(", path, ", ", item, ", ") == 0)
        return 0;
    return ComposeText(out, capacity, first, path, ", 0)]");
}

int IsSafeGroupName(const char* group)
{
    // "[" and "]" may be second bytes of characters: whole ones only.
    for (; *group != '\0'; group += CharacterLength(group)) {
        if (CharacterLength(group) == 1 && (*group == '"' || *group == '[' || *group == ']'))
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
