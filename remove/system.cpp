// The registry entries and the Program Manager group that Setup made:
// each taken away only where it is still Setup's.
#include "remove/remove.h"
#include "integration/progmantext.h"
#include "integration/registrytext.h"
#include "base/paths.h"
#include "resources/tvremove.h"

#include <ddeml.h>

namespace {

const DWORD kDdeTimeoutMs = 3500;

// 1 when two spellings name one directory: the same text, letter case
// ignored, or the same short names.
int SamePlace(const char* a, const char* b)
{
    if (SameTextIgnoringCase(a, b))
        return 1;
    char shortA[kPathBytes], shortB[kPathBytes];
    DWORD lengthA = GetShortPathNameA(a, shortA, sizeof shortA);
    DWORD lengthB = GetShortPathNameA(b, shortB, sizeof shortB);
    return lengthA != 0 && lengthA < sizeof shortA && lengthB != 0 && lengthB < sizeof shortB &&
           SameTextIgnoringCase(shortA, shortB);
}

// An entry's InstallLocation in the whole form Setup compares it in (no
// trailing backslash).  0 when it has none.
int EntryLocation(HKEY uninstall, const char* name, char* location)
{
    HKEY key;
    if (RegOpenKeyExA(uninstall, name, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    char stored[kPathBytes];
    DWORD type = 0, size = sizeof stored - 1;
    LONG read = RegQueryValueExA(key, "InstallLocation", nullptr, &type, reinterpret_cast<BYTE*>(stored), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return 0;
    stored[size] = '\0';
    return WholePath(stored, location) != 0;
}

HKEY RootOf(const char* name)
{
    if (SameTextIgnoringCase(name, "HKCR"))
        return HKEY_CLASSES_ROOT;
    if (SameTextIgnoringCase(name, "HKCU"))
        return HKEY_CURRENT_USER;
    return HKEY_LOCAL_MACHINE;
}

enum Taken {
    kNotTaken   = 0,   // not there, or not Setup's any more
    kTaken      = 1,
    kStillThere = 2,   // Setup's, and it could not be deleted
    kNotKept    = 3,   // a key that still holds something, so it stays
};

// A value is Setup's only while it holds what Setup wrote: another program
// may have taken the file type since.
Taken RemoveValue(const PlanLine* line)
{
    HKEY key;
    if (RegOpenKeyExA(RootOf(line->field[0]), line->field[1], 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return kNotTaken;
    Taken result = kNotTaken;
    char data[kRecordLineBytes];
    DWORD type = 0, size = sizeof data - 1;
    if (RegQueryValueExA(key, line->field[2], nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        // The stored text may or may not carry its terminator.
        data[size] = '\0';
        const char* recorded = line->field[3];
        size_t i = 0;
        while (recorded[i] != '\0' && recorded[i] == data[i])
            ++i;
        if (recorded[i] == '\0' && data[i] == '\0')
            result = RegDeleteValueA(key, line->field[2]) == ERROR_SUCCESS ? kTaken : kStillThere;
    }
    RegCloseKey(key);
    return result;
}

// A key goes only when nothing is left in it.
Taken RemoveKeyIfEmpty(const PlanLine* line)
{
    HKEY key;
    if (RegOpenKeyExA(RootOf(line->field[0]), line->field[1], 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &key) !=
        ERROR_SUCCESS)
        return kNotTaken;
    DWORD subkeys = 1, values = 1;
    LONG asked = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                  nullptr, nullptr, nullptr);
    RegCloseKey(key);
    if (asked != ERROR_SUCCESS)
        return kNotTaken;
    if (subkeys != 0 || values != 0)
        return kNotKept;
    return RegDeleteKeyA(RootOf(line->field[0]), line->field[1]) == ERROR_SUCCESS ? kTaken : kStillThere;
}

void Count(RemovalRun* run, Taken taken, const PlanLine* line)
{
    if (taken == kTaken) {
        ++run->removed;
    } else if (taken == kStillThere) {
        ++run->failed;
        NoteLeft(&run->left, line->field[1], IDS_NOT_DELETED);
    }
}

HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

// 1 when Program Manager took the command.
int Execute(HCONV conversation, const char* command, size_t length)
{
    if (length == 0 || conversation == nullptr)
        return 0;
    return DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(command)),
                                static_cast<DWORD>(length + 1), conversation, nullptr, 0, XTYP_EXECUTE,
                                kDdeTimeoutMs, nullptr) != nullptr;
}

// The group's folder under the user's Programs folder; 0 when unknown.
int GroupFolder(const char* group, char* folder)
{
    char programs[kPathBytes];
    return ShellFolder("Programs", programs) && JoinPath(programs, group, folder, kPathBytes) != 0;
}

// Whether an item that Program Manager did not delete is still there: its
// shortcut in the group's folder (a name's characters that no file name
// holds are "_" there).  Where the folder cannot be told, it counts as there.
int ItemStillThere(const char* group, const char* item)
{
    char folder[kPathBytes], name[kPathBytes], path[kPathBytes];
    if (!GroupFolder(group, folder) || ComposeText(name, sizeof name, item, ".lnk") == 0)
        return 1;
    for (char* p = name; *p != '\0'; p += CharacterLength(p)) {
        if (CharacterLength(p) == 1 && (*p == '*' || *p == '/' || *p == ':' || *p == '<' || *p == '>' || *p == '?' ||
                                        *p == '\\' || *p == '|'))
            *p = '_';
    }
    return JoinPath(folder, name, path, sizeof path) == 0 || FileExists(path);
}

struct SharedItem {
    const char* group;
    const char* item;
    int found;
};

void FindItem(const RecordLine* line, void* context)
{
    SharedItem* shared = static_cast<SharedItem*>(context);
    if (line->kind == kRecordItem && SameTextIgnoringCase(line->field[0], shared->group) &&
        SameTextIgnoringCase(line->field[1], shared->item))
        shared->found = 1;
}

// 1 when another installation's record names the same item of the same
// group: Program Manager keeps one item per name, so it is theirs too.
int ItemShared(const RemovalRun* run, const char* group, const char* item)
{
    SharedItem shared = {group, item, 0};
    for (uint32_t i = 0; i < run->others.count && !shared.found; ++i) {
        uint32_t bad = 0;
        ReadRecord(run->others.texts[i], run->others.sizes[i], FindItem, &shared, &bad);
    }
    return shared.found;
}

// 1 when the group's folder under the user's Programs folder holds nothing
// (or is not there): DeleteGroup would take the whole folder with it.
int GroupFolderEmpty(const char* group)
{
    char folder[kPathBytes], pattern[kPathBytes];
    if (!GroupFolder(group, folder) || JoinPath(folder, "*", pattern, sizeof pattern) == 0)
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA(pattern, &found);
    if (listing == INVALID_HANDLE_VALUE)
        return 1;
    int empty = 1;
    do {
        const char* n = found.cFileName;
        if (!(n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))))
            empty = 0;
    } while (empty && FindNextFileA(listing, &found));
    FindClose(listing);
    return empty;
}

}  // namespace

int AppendToRecord(const char* path, const PlanLine* line)
{
    char number[16], text[64 + kRecordLineBytes];
    FormatGrouped(TextCodePage(), 0, number, sizeof number);
    RecordLine codePage = {kRecordCodePage, 0, {number, "", "", ""}};
    RecordLine record = {line->kind, line->flag, {line->field[0], line->field[1], line->field[2], line->field[3]}};
    size_t first = FormatRecordLine(&codePage, text, 64);
    size_t length = first != 0 ? FormatRecordLine(&record, text + first, kRecordLineBytes) : 0;
    if (length == 0)
        return 0;
    length += first;
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    char tail[kRecordLineBytes];
    DWORD size = GetFileSize(file, nullptr), start = 0, got = 0;
    int done = size != INVALID_FILE_SIZE && size > 0;
    if (done) {
        start = size > sizeof tail ? size - static_cast<DWORD>(sizeof tail) : 0;
        done = SetFilePointer(file, static_cast<LONG>(start), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
               ReadFile(file, tail, size - start, &got, nullptr) && got == size - start;
    }
    DWORD end = got;
    while (done && end > 0 && tail[end - 1] != '\n')
        --end;
    DWORD put = 0;
    done = done && end > 0 &&
           SetFilePointer(file, static_cast<LONG>(start + end), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           SetEndOfFile(file) && WriteFile(file, text, static_cast<DWORD>(length), &put, nullptr) && put == length;
    FlushFileBuffers(file);
    CloseHandle(file);
    return done;
}

namespace {

struct Holder {
    const PlanLine* owner;
    int found;
};

void FindHolder(const RecordLine* line, void* context)
{
    Holder* holder = static_cast<Holder*>(context);
    if (LineHolds(holder->owner, line))
        holder->found = 1;
}

// A key or group this installation made stays while another installation
// keeps something in it: that installation's record takes the line over,
// so that its removal takes the key or group once it is empty.  1 when
// handed over.
int HandOver(RemovalRun* run, const PlanLine* line)
{
    for (uint32_t i = 0; i < run->others.count; ++i) {
        Holder holder = {line, 0};
        uint32_t bad = 0;
        ReadRecord(run->others.texts[i], run->others.sizes[i], FindHolder, &holder, &bad);
        if (holder.found)
            return AppendToRecord(run->others.paths[i], line);
    }
    return 0;
}

}  // namespace

void FindInstallations(RemovalRun* run)
{
    run->entryKey[0] = '\0';
    run->others.count = 0;
    HKEY uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallPath, 0, KEY_QUERY_VALUE, &uninstall) != ERROR_SUCCESS)
        return;
    // Setup's entries are the numbered keys "Tovarin", "Tovarin 2", ...
    char name[kPathBytes], location[kPathBytes];
    for (uint32_t number = 1; number <= kMostEntries; ++number) {
        if (EntryKeyName(number, name, sizeof name) == 0 || !EntryLocation(uninstall, name, location))
            continue;
        if (run->entryKey[0] == '\0' && SamePlace(location, run->destDir)) {
            CopyText(run->entryKey, sizeof run->entryKey, name);
            // The record's lines name the destination as Setup spelled it.
            CopyText(run->destDir, sizeof run->destDir, location);
            continue;
        }
        char recordPath[kPathBytes];
        DWORD size = 0;
        char* text = run->others.count < kOtherInstallations &&
                             JoinPath(location, kRecordFileName, recordPath, sizeof recordPath) != 0
                         ? ReadWhole(recordPath, &size)
                         : nullptr;
        if (text != nullptr && HasRecordSignature(text, size)) {
            CopyText(run->others.paths[run->others.count], kPathBytes, recordPath);
            run->others.texts[run->others.count] = text;
            run->others.sizes[run->others.count++] = size;
        } else if (text != nullptr) {
            LocalFree(text);
        }
    }
    RegCloseKey(uninstall);
}

void FreeOtherRecords(RemovalRun* run)
{
    for (uint32_t i = 0; i < run->others.count; ++i)
        LocalFree(run->others.texts[i]);
    run->others.count = 0;
}

void RemoveProgramItems(RemovalRun* run)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, ClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        instance = 0;
    HSZ service = instance != 0 ? DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI) : nullptr;
    HCONV conversation = service != nullptr ? DdeConnect(instance, service, service, nullptr) : nullptr;
    const RemovalPlan* plan = &run->plan;
    char command[kRecordLineBytes + 32];
    // Program Manager deletes items of the group last shown: an item goes
    // only after its own group was shown, or it would be taken from
    // whatever group is current.  A record is outside input: names that
    // could end their quoted argument are no names Setup wrote.
    const char* shown = nullptr;   // the group Program Manager last showed
    for (uint32_t i = 0; i < plan->count; ++i) {
        const PlanLine* line = &plan->lines[i];
        if (line->kind != kRecordItem || !IsRecordedNameSafe(line->field[0]) ||
            !IsRecordedNameSafe(line->field[1]) || ItemShared(run, line->field[0], line->field[1]))
            continue;
        ShowProgress(run, line->field[1]);
        // Each ShowGroup opens the group's window: once for a group's run
        // of items is enough.
        if (shown == nullptr || !SameTextIgnoringCase(shown, line->field[0]))
            shown = Execute(conversation, command, ShowGroupCommand(line->field[0], command, sizeof command))
                        ? line->field[0]
                        : nullptr;
        int deleted = shown != nullptr &&
                      Execute(conversation, command, DeleteQuotedItemCommand(line->field[1], command, sizeof command));
        if (deleted) {
            ++run->removed;
        } else if (ItemStillThere(line->field[0], line->field[1])) {
            ++run->failed;
            NoteLeft(&run->left, line->field[1], IDS_NOT_DELETED);
        }
    }
    // A group goes only when Setup created it and nobody has put anything
    // else in it (another installation's items included).
    for (uint32_t i = 0; i < plan->count; ++i) {
        const PlanLine* line = &plan->lines[i];
        if (line->kind != kRecordGroup || !line->flag || !IsRecordedNameSafe(line->field[0]))
            continue;
        ShowProgress(run, line->field[0]);
        char folder[kPathBytes];
        if (!GroupFolderEmpty(line->field[0])) {
            HandOver(run, line);
            continue;
        }
        if (Execute(conversation, command, DeleteGroupCommand(line->field[0], command, sizeof command))) {
            ++run->removed;
        } else if (GroupFolder(line->field[0], folder) && DirectoryExists(folder)) {
            ++run->failed;
            NoteLeft(&run->left, line->field[0], IDS_NOT_DELETED);
        }
    }
    if (conversation != nullptr)
        DdeDisconnect(conversation);
    if (service != nullptr)
        DdeFreeStringHandle(instance, service);
    if (instance != 0)
        DdeUninitialize(instance);
}

void RemoveRegistryEntries(RemovalRun* run)
{
    const RemovalPlan* plan = &run->plan;
    for (uint32_t i = 0; i < plan->count; ++i) {
        if (plan->lines[i].kind == kRecordValue) {
            ShowProgress(run, plan->lines[i].field[1]);
            Count(run, RemoveValue(&plan->lines[i]), &plan->lines[i]);
        }
    }
    // A key goes only once its subkeys have gone: the deepest first (a key
    // handed over from another installation's record may follow its
    // subkeys' lines).
    uint32_t deepest = 0;
    for (uint32_t i = 0; i < plan->count; ++i) {
        if (plan->lines[i].kind == kRecordKey && PathDepth(plan->lines[i].field[1]) > deepest)
            deepest = PathDepth(plan->lines[i].field[1]);
    }
    for (uint32_t depth = deepest + 1; depth > 0; --depth) {
        for (uint32_t i = plan->count; i > 0; --i) {
            const PlanLine* line = &plan->lines[i - 1];
            if (line->kind != kRecordKey || PathDepth(line->field[1]) != depth - 1)
                continue;
            ShowProgress(run, line->field[1]);
            Taken taken = RemoveKeyIfEmpty(line);
            if (taken == kNotKept)
                HandOver(run, line);
            else
                Count(run, taken, line);
        }
    }
}

void RemoveUninstallEntry(RemovalRun* run)
{
    char key[kPathBytes];
    if (run->entryKey[0] != '\0' && JoinPath(kUninstallPath, run->entryKey, key, sizeof key) != 0)
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
}
