// The registry entries and the Program Manager group that Setup made:
// each taken away only where it is still Setup's.
#include "remove/remove.h"
#include "integration/progmantext.h"

#include <ddeml.h>

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tovarin";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const DWORD kDdeTimeoutMs = 3500;

HKEY RootOf(const char* name)
{
    if (SameTextIgnoringCase(name, "HKCR"))
        return HKEY_CLASSES_ROOT;
    if (SameTextIgnoringCase(name, "HKCU"))
        return HKEY_CURRENT_USER;
    return HKEY_LOCAL_MACHINE;
}

// A value is Setup's only while it holds what Setup wrote: another program
// may have taken the file type since.
void RemoveValue(const PlanLine* line)
{
    HKEY key;
    if (RegOpenKeyExA(RootOf(line->field[0]), line->field[1], 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return;
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
            RegDeleteValueA(key, line->field[2]);
    }
    RegCloseKey(key);
}

// A key goes only when nothing is left in it.
void RemoveKeyIfEmpty(const PlanLine* line)
{
    HKEY key;
    if (RegOpenKeyExA(RootOf(line->field[0]), line->field[1], 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &key) !=
        ERROR_SUCCESS)
        return;
    DWORD subkeys = 1, values = 1;
    LONG asked = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                  nullptr, nullptr, nullptr);
    RegCloseKey(key);
    if (asked == ERROR_SUCCESS && subkeys == 0 && values == 0)
        RegDeleteKeyA(RootOf(line->field[0]), line->field[1]);
}

HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

void Execute(HCONV conversation, const char* command, size_t length)
{
    if (length == 0 || conversation == nullptr)
        return;
    DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(command)), static_cast<DWORD>(length + 1),
                         conversation, nullptr, 0, XTYP_EXECUTE, kDdeTimeoutMs, nullptr);
}

// 1 when the group's folder under the user's Programs folder holds nothing
// (or is not there): DeleteGroup would take the whole folder with it.
int GroupFolderEmpty(const char* group)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    char programs[kPathBytes];
    DWORD type = 0, size = sizeof programs - 1;
    LONG read = RegQueryValueExA(key, "Programs", nullptr, &type, reinterpret_cast<BYTE*>(programs), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_SZ)
        return 0;
    programs[size] = '\0';
    char pattern[kPathBytes];
    if (ComposeText(pattern, sizeof pattern, programs, "\\", group, "\\*") == 0)
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

void RemoveProgramItems(RemovalRun* run)
{
    DWORD instance = 0;
    if (DdeInitializeA(&instance, ClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return;
    HSZ service = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
    HCONV conversation = service != nullptr ? DdeConnect(instance, service, service, nullptr) : nullptr;
    const RemovalPlan* plan = &run->plan;
    char command[kRecordLineBytes + 32];
    // Program Manager deletes items of the group last shown.
    for (uint32_t i = 0; i < plan->count; ++i) {
        const PlanLine* line = &plan->lines[i];
        if (line->kind != kRecordItem)
            continue;
        ShowProgress(run, line->field[1]);
        Execute(conversation, command, ShowGroupCommand(line->field[0], command, sizeof command));
        Execute(conversation, command, DeleteItemCommand(line->field[1], command, sizeof command));
    }
    // A group goes only when Setup created it and nobody has put anything
    // else in it.
    for (uint32_t i = 0; i < plan->count; ++i) {
        const PlanLine* line = &plan->lines[i];
        if (line->kind != kRecordGroup || !line->flag || !IsSafeGroupName(line->field[0]))
            continue;
        ShowProgress(run, line->field[0]);
        if (GroupFolderEmpty(line->field[0]))
            Execute(conversation, command,
                    ComposeText(command, sizeof command, "[DeleteGroup(\"", line->field[0], "\")]"));
    }
    if (conversation != nullptr)
        DdeDisconnect(conversation);
    if (service != nullptr)
        DdeFreeStringHandle(instance, service);
    DdeUninitialize(instance);
}

void RemoveRegistryEntries(RemovalRun* run)
{
    const RemovalPlan* plan = &run->plan;
    for (uint32_t i = 0; i < plan->count; ++i) {
        if (plan->lines[i].kind == kRecordValue) {
            ShowProgress(run, plan->lines[i].field[1]);
            RemoveValue(&plan->lines[i]);
        }
    }
    // Keys were recorded as they were created, parents first: the last
    // made goes first.
    for (uint32_t i = plan->count; i > 0; --i) {
        if (plan->lines[i - 1].kind == kRecordKey) {
            ShowProgress(run, plan->lines[i - 1].field[1]);
            RemoveKeyIfEmpty(&plan->lines[i - 1]);
        }
    }
}

void RemoveUninstallEntry()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
}
