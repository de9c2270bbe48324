// The registry's data for the file types, and the Add/Remove Programs
// entries with their item names.
#include "integration/registrytext.h"

#include "base/text.h"

size_t OpenCommandText(const char* destDir, char* out, size_t capacity)
{
    if (LastCharacter(destDir, '"') >= 0) {
        if (capacity != 0)
            out[0] = '\0';
        return 0;
    }
    return ComposeText(out, capacity, "\"", destDir, "\\tovarin.exe\" \"%1\"");
}

size_t IconText(const char* destDir, int index, char* out, size_t capacity)
{
    const char digit[2] = {static_cast<char>('0' + (index % 10)), '\0'};
    return ComposeText(out, capacity, destDir, "\\tovarin.exe ,", digit);
}

size_t AppPathText(const char* destDir, char* out, size_t capacity)
{
    return ComposeText(out, capacity, destDir, "\\tovarin.exe");
}

const char kRunOncePath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

size_t RecoveryValueName(const char* destDir, char* out, size_t capacity)
{
    // A value's name has at most 255 characters.
    return ComposeText(out, capacity < 256 ? capacity : 256, "Tovarin recovery ", destDir);
}

size_t RecoveryCommand(const char* destDir, char* out, size_t capacity)
{
    char program[kPathBytes];
    if (JoinPath(destDir, "tvremove.exe", program, sizeof program) == 0) {
        if (capacity != 0)
            out[0] = '\0';
        return 0;
    }
    return ComposeText(out, capacity, "\"", program, "\" /recover");
}

const char kUninstallPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

namespace {

const char kEntryBase[] = "Tovarin";

}  // namespace

size_t EntryKeyName(uint32_t number, char* out, size_t capacity)
{
    char digits[16];
    if (number <= 1)
        return CopyText(out, capacity, kEntryBase);
    FormatGrouped(number, 0, digits, sizeof digits);
    return ComposeText(out, capacity, kEntryBase, " ", digits);
}

size_t EntryDisplayName(uint32_t number, const char* destDir, char* out, size_t capacity)
{
    if (number <= 1)
        return CopyText(out, capacity, kEntryBase);
    return ComposeText(out, capacity, kEntryBase, " (", destDir, ")");
}

size_t ItemName(const char* name, uint32_t entry, const char* destDir, int quoted, char* out,
                size_t capacity)
{
    if (entry <= 1)
        return CopyText(out, capacity, name);
    // An item is a file of the group's folder, and the removal's commands
    // take no bracket: the destination goes in without its colon, its
    // backslashes as hyphens, its square brackets as parentheses.
    char place[kPathBytes];
    size_t length = 0;
    for (const char* p = destDir; *p != '\0';) {
        size_t bytes = CharacterLength(p);
        if (length + bytes >= sizeof place) {
            out[0] = '\0';
            return 0;
        }
        if (bytes == 2) {
            place[length++] = *p++;
            place[length++] = *p++;
            continue;
        }
        char c = *p == '\\' ? '-' : *p == '[' ? '(' : *p == ']' ? ')' : *p;
        if (*p++ != ':')
            place[length++] = c;
    }
    place[length] = '\0';
    return ComposeText(out, capacity, quoted ? "\"" : "", name, " (", place, quoted ? ")\"" : ")");
}

void StartEntrySearch(EntrySearch* search)
{
    search->found = 0;
    search->taken = 0;
}

void ConsiderEntry(EntrySearch* search, uint32_t number, const char* location, const char* destDir)
{
    if (number == 0 || number > kMostEntries)
        return;
    search->taken |= 1u << (number - 1);
    if (location[0] != '\0' && SameTextIgnoringCase(location, destDir) &&
        (search->found == 0 || number < search->found))
        search->found = number;
}

uint32_t ChosenEntry(const EntrySearch* search)
{
    if (search->found != 0)
        return search->found;
    for (uint32_t number = 1; number <= kMostEntries; ++number) {
        if (!(search->taken & (1u << (number - 1))))
            return number;
    }
    return 0;
}
