// The Program Manager group over DDE: the list of groups for the
// program-group page, and the group with its items after copying.
#include "integration/integration.h"
#include "integration/progmantext.h"
#include "integration/registrytext.h"
#include "catalogue/options.h"
#include "base/pathtext.h"
#include "resources/resource.h"
#include "base/cursor.h"
#include "base/journal.h"
#include "base/paths.h"
#include "shell/shell.h"
#include "shell/dialogs.h"
#include "shell/runreport.h"

#include <ddeml.h>

namespace {

const char kService[] = "PROGMAN";
const DWORD kTimeoutMs = 3500;
// wsprintfA's own limit; a command holds a path twice.
const int kCommandBytes = kTextBytes;

// One conversation with Program Manager: the DDEML instance, the "PROGMAN"
// string handle (service and topic alike) and the conversation.
struct Conversation {
    DWORD instance;
    HSZ service;
    HCONV conversation;
};

UINT StartInstance(Conversation* c)
{
    c->instance = 0;
    return DdeInitializeA(&c->instance, ProgmanCallback, APPCMD_CLIENTONLY, 0);
}

void Connect(Conversation* c)
{
    c->service = DdeCreateStringHandleA(c->instance, kService, CP_WINANSI);
    c->conversation = c->service != nullptr
                          ? DdeConnect(c->instance, c->service, c->service, nullptr)
                          : nullptr;
}

void End(Conversation* c)
{
    if (c->conversation != nullptr)
        DdeDisconnect(c->conversation);
    if (c->service != nullptr)
        DdeFreeStringHandle(c->instance, c->service);
    if (c->instance != 0)
        DdeUninitialize(c->instance);
    c->instance = 0;
    c->service = nullptr;
    c->conversation = nullptr;
}

// Sends one command with its terminating zero.  1 when Program Manager
// acknowledged it; 0 when it refused it, did not answer in time, no
// conversation was made, or the command could not be composed (and so was
// not sent at all).
int Execute(const Conversation* c, const char* command, size_t length)
{
    if (length == 0 || c->conversation == nullptr)
        return 0;
    return DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<char*>(command)),
                                static_cast<DWORD>(length + 1), c->conversation, nullptr, 0,
                                XTYP_EXECUTE, kTimeoutMs, nullptr) != nullptr;
}

// One of the names a group's items take, or the guide's directory, into
// text (kPathBytes).
static_assert(IDS_README_ITEM_BYTES == kPathBytes && IDS_GUIDE_ITEM_BYTES == kPathBytes &&
                  IDS_GUIDE_DIRECTORY_BYTES == kPathBytes,
              "a name loads into a buffer of another size");
void LoadText(int id, char* text)
{
    LoadResourceText(id, text, kPathBytes);
}

// An item path in lower case, as Program Manager stores it; 0 when it is
// too long to name a file.
size_t LowerItemPath(const char* destDir, const char* tail, char* path)
{
    size_t length = ItemPath(destDir, tail, path, kPathBytes);
    if (length != 0)
        LowerPath(path);
    return length;
}

void AddGroupToList(const char* group, void* list)
{
    SendMessageA(static_cast<HWND>(list), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(group));
}

// Asks Program Manager for its groups and adds each to the list box.
void RequestGroups(HWND list)
{
    Conversation c = {};
    if (StartInstance(&c) != DMLERR_NO_ERROR)
        return;
    Connect(&c);
    HSZ item = DdeCreateStringHandleA(c.instance, kService, CP_WINANSI);
    HDDEDATA data = c.conversation != nullptr
                        ? DdeClientTransaction(nullptr, 0, c.conversation, item, CF_TEXT,
                                               XTYP_REQUEST, kTimeoutMs, nullptr)
                        : nullptr;
    if (data != nullptr) {
        DWORD size = DdeGetData(data, nullptr, 0, 0);
        HLOCAL block = size != 0 ? LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, size) : nullptr;
        char* text = block != nullptr ? static_cast<char*>(LocalLock(block)) : nullptr;
        if (text != nullptr) {
            DdeGetData(data, reinterpret_cast<LPBYTE>(text), size, 0);
            SplitGroupList(text, size, AddGroupToList, list);
            LocalUnlock(block);
        }
        if (block != nullptr)
            LocalFree(block);
        DdeFreeDataHandle(data);
    }
    if (item != nullptr)
        DdeFreeStringHandle(c.instance, item);
    End(&c);
}

// 1 when a folder of the group's name is under the user's Programs folder:
// Wine's Program Manager lists no groups, but keeps each as such a folder.
int GroupFolderIsThere(const char* groupName)
{
    char folder[kPathBytes];
    return ShellFolder("Programs", folder) && AppendText(folder, kPathBytes, "\\") != 0 &&
           AppendText(folder, kPathBytes, groupName) != 0 && DirectoryExists(folder);
}

}  // namespace

HDDEDATA CALLBACK ProgmanCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

UINT ReconnectProgman(DWORD* instance, HSZ* service, HCONV* conversation)
{
    Conversation c = {*instance, *service, *conversation};
    End(&c);
    UINT result = StartInstance(&c);
    if (c.instance != 0)
        Connect(&c);
    *instance = c.instance;
    *service = c.service;
    *conversation = c.conversation;
    return result;
}

void FillGroupList(HWND page, char* groupName)
{
    HCURSOR previous = ShowWaitCursor();
    HWND list = GetDlgItem(page, IDC_GROUP_LIST);
    RequestGroups(list);

    // The search ignores letter case and covers the whole list, item 0 last.
    LRESULT found = SendMessageA(list, LB_FINDSTRINGEXACT, 0,
                                 reinterpret_cast<LPARAM>(kDefaultGroupName));
    LRESULT length = found != LB_ERR ? SendMessageA(list, LB_GETTEXTLEN, found, 0) : LB_ERR;
    if (found != LB_ERR && length != LB_ERR && length < kPathBytes) {
        SendMessageA(list, LB_SETCURSEL, found, 0);
        SendMessageA(list, LB_GETTEXT, found, reinterpret_cast<LPARAM>(groupName));
    } else {
        // The default name added here is marked: it is not one of Program
        // Manager's groups.
        CopyText(groupName, kPathBytes, kDefaultGroupName);
        LRESULT added = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(groupName));
        SendMessageA(list, LB_SETITEMDATA, added, 1);
        SendMessageA(list, LB_SETCURSEL, added, 0);
    }
    SetDlgItemTextA(page, IDC_GROUP_EDIT, groupName);
    SetCursor(previous);
}

int CreateProgramGroup(const char* destDir, const GroupChoice* group, uint32_t guide, uint32_t entry)
{
    const char* groupName = group->name;
    ShowWaitCursor();
    // The removal deletes only a group Setup made.
    NoteAction(kNoteGroup, !group->listed && !GroupFolderIsThere(groupName), groupName);
    Conversation c = {};
    int made = StartInstance(&c) == DMLERR_NO_ERROR;
    if (made) {
        Connect(&c);
        char command[kCommandBytes], path[kPathBytes], tail[kPathBytes];
        // The items' names, today's or with the destination (registrytext.h),
        // and as they go into the commands.  When one does not fit, none
        // is sent: the group is made, and the finish page says the rest.
        char names[3][kPathBytes], arguments[3][kPathBytes];
        int named = 1;
        for (int i = 0; i < 3; ++i) {
            char name[kPathBytes];
            if (i == 0)
                CopyText(name, sizeof name, kApplicationItem);
            else
                LoadText(IDS_README_ITEM + i - 1, name);
            named &= ItemName(name, entry, destDir, 0, names[i], kPathBytes) != 0 &&
                     ItemName(name, entry, destDir, 1, arguments[i], kPathBytes) != 0;
        }

        // Items go only into the group just made and shown: they act on
        // Program Manager's current group, which after a refusal could be
        // one of the user's.
        int shown = Execute(&c, command, CreateGroupCommand(groupName, command, sizeof command));
        if (shown) {
            ReconnectProgman(&c.instance, &c.service, &c.conversation);
            shown = Execute(&c, command, ShowGroupCommand(groupName, command, sizeof command));
        }
        made = shown && named;
        if (made) {
            ReconnectProgman(&c.instance, &c.service, &c.conversation);
            // Items of these names go first, so that a second installation
            // into the same group ends with one of each.  A DeleteItem of an
            // item that is not there is refused, and does no harm.
            for (int i = 0; i < 3; ++i) {
                Execute(&c, command, DeleteItemCommand(arguments[i], command, sizeof command));
                ShowWaitCursor();
            }

            // An item whose path or name does not fit is not sent, and not
            // made.
            NoteAction(kNoteItem, 0, groupName, names[0]);
            made = LowerItemPath(destDir, "\\tovarin.exe", path) != 0 &&
                   Execute(&c, command, AddApplicationCommand(path, arguments[0], command, sizeof command));
            ShowWaitCursor();
            ReconnectProgman(&c.instance, &c.service, &c.conversation);

            NoteAction(kNoteItem, 0, groupName, names[1]);
            made &= LowerItemPath(destDir, "\\readme.wri", path) != 0 &&
                    Execute(&c, command, AddReadMeCommand(path, arguments[1], command, sizeof command));
            ShowWaitCursor();

            if (guide) {
                ReconnectProgman(&c.instance, &c.service, &c.conversation);
                NoteAction(kNoteItem, 0, groupName, names[2]);
                char directory[kPathBytes];
                LoadText(IDS_GUIDE_DIRECTORY, directory);
                made &= GuideTail(directory, tail, sizeof tail) != 0 &&
                        LowerItemPath(destDir, tail, path) != 0 &&
                        Execute(&c, command, AddGuideCommand(path, arguments[2], command, sizeof command));
            }
        }
    }
    End(&c);
    if (!made)
        runReport.undone |= kUndoneGroup;
    ShowArrowCursor();
    return made;
}
