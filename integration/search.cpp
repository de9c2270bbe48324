// The search of the fixed drives for earlier installations.
#include "integration/integration.h"
#include "catalogue/options.h"
#include "base/pathtext.h"
#include "resources/resource.h"
#include "base/cursor.h"
#include "shell/shell.h"
#include "shell/dialogs.h"

namespace {

// A directory link can lead back to a directory the walk is already in,
// and the walk would go round for ever.  The links that the system shows as
// such (junctions and symbolic links on NT, and Unix symbolic links under
// Wine, all reparse points) are never followed.  A loop it does not show (a
// directory mounted inside itself) is found by identity: a deep directory's
// identity (volume and file index) is compared with those of the
// directories above it.  Only deep ones: asking for an identity costs about
// a millisecond under Wine, four times what listing a directory costs, and
// a loop makes every path through it deep.  A path of 259 characters holds
// at most 130 levels.
struct DirectoryIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

const int kMaxDepth = 130;
// Directories this many levels below a root or deeper are identified: a
// loop is walked round this many times at most before it is cut.
const int kIdentifiedDepth = 8;
DirectoryIdentity walkAncestors[kMaxDepth];
int walkDepth;

// 1 with the identity of dir, 0 when the system cannot give one (Windows 95
// opens no directories; it has no directory links either).
int IdentifyDirectory(const char* dir, DirectoryIdentity* identity)
{
    HANDLE handle = CreateFileA(dir, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION info;
    int known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known)
        return 0;
    identity->volume = info.dwVolumeSerialNumber;
    identity->indexHigh = info.nFileIndexHigh;
    identity->indexLow = info.nFileIndexLow;
    return 1;
}

// Enters dir: 0 when dir is one of the directories above it (a loop) or the
// walk is as deep as a path can be.
int EnterDirectory(const char* dir)
{
    if (walkDepth == kMaxDepth)
        return 0;
    DirectoryIdentity identity;
    if (walkDepth >= kIdentifiedDepth && IdentifyDirectory(dir, &identity)) {
        for (int i = 0; i < walkDepth; ++i) {
            if (walkAncestors[i].volume == identity.volume &&
                walkAncestors[i].indexHigh == identity.indexHigh &&
                walkAncestors[i].indexLow == identity.indexLow)
                return 0;
        }
    } else {
        identity.volume = identity.indexHigh = identity.indexLow = 0xFFFFFFFFu;
    }
    walkAncestors[walkDepth++] = identity;
    return 1;
}

// Appends dir with its NUL at offset, growing the block to the exact length.
// Returns the bytes appended; 0 leaves the list as it was.
uint32_t AppendFound(HLOCAL* list, uint32_t offset, const char* dir)
{
    uint32_t bytes = static_cast<uint32_t>(TextLength(dir)) + 1;
    HLOCAL grown = LocalReAlloc(*list, offset + bytes, LMEM_MOVEABLE | LMEM_ZEROINIT);
    if (grown == nullptr)
        return 0;  // the old block is still valid and keeps what it had
    *list = grown;
    uint8_t* block = static_cast<uint8_t*>(LocalLock(grown));
    if (block == nullptr)
        return 0;
    uint32_t stored = StoreFoundEntry(block, LocalSize(grown), offset, dir);
    LocalUnlock(grown);
    return stored;
}

// The drive list ("C:\", NUL, "D:\", NUL, ..., NUL) in a fixed block that
// the caller frees, or nullptr.  A drive that appears between asking for the
// length and reading the list makes the list longer than the block: read it
// again with the new length, a few times at most.
char* ReadDriveList()
{
    const int kAttempts = 4;
    DWORD length = GetLogicalDriveStringsA(0, nullptr);
    for (int attempt = 0; attempt < kAttempts && length != 0; ++attempt) {
        char* drives = static_cast<char*>(LocalAlloc(LMEM_ZEROINIT, length + 1));
        if (drives == nullptr)
            return nullptr;
        DWORD got = GetLogicalDriveStringsA(length, drives);
        if (got != 0 && got < length)
            return drives;
        LocalFree(drives);
        length = got;  // the length it needs now, or 0 when it failed
    }
    return nullptr;
}

}  // namespace

uint32_t SearchDirectoryTree(const char* dir, const char* name, HLOCAL* list, uint32_t offset)
{
    uint32_t count = 0;
    char pattern[kPathBytes];
    if (SearchPattern(dir, pattern, sizeof pattern) == 0)
        return 0;  // too deep for a path: nothing below it can be named

    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA(pattern, &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Junctions and directory links are not followed.
            if (IsDotEntry(entry.cFileName) || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                continue;
            char child[kPathBytes];
            if (ChildPath(dir, entry.cFileName, child, sizeof child) == 0)
                continue;
            if (EnterDirectory(child)) {
                count += SearchDirectoryTree(child, name, list, offset + count);
                --walkDepth;
            }
        } else {
            if (SameTextIgnoringCase(entry.cFileName, name))
                count += AppendFound(list, offset + count, dir);
        }
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
    return count;
}

int32_t FindInstallations(HWND pleaseWait, HLOCAL* list)
{
    char status[IDS_SEARCHING_BYTES];
    HWND statusText = GetDlgItem(pleaseWait, IDC_WAIT_STATUS);
    // Without its string the page keeps its own text.
    if (LoadResourceText(IDS_SEARCHING, status, sizeof status) != 0)
        SetWindowTextA(statusText, status);
    // No messages are dispatched during the walk: paint the text now.
    UpdateWindow(statusText);
    ShowWaitCursor();

    *list = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, kFoundListHeaderBytes);
    if (*list == nullptr)
        return -1;

    uint32_t total = kFoundListHeaderBytes;
    char* drives = ReadDriveList();
    if (drives != nullptr) {
        for (char* root = drives; *root != '\0'; root += TextLength(root) + 1) {
            if (GetDriveTypeA(root) != DRIVE_FIXED)
                continue;
            char volumeName[kPathBytes];
            char fileSystem[kPathBytes];
            fileSystem[0] = '\0';
            if (!GetVolumeInformationA(root, volumeName, sizeof volumeName, nullptr, nullptr,
                                       nullptr, fileSystem, sizeof fileSystem) ||
                fileSystem[0] == '\0')
                continue;
            walkDepth = 0;
            if (EnterDirectory(root))
                total += SearchDirectoryTree(root, "tovarin.exe", list, total);
        }
        LocalFree(drives);
    }

    uint8_t* block = static_cast<uint8_t*>(LocalLock(*list));
    if (block != nullptr) {
        SetFoundListLength(block, total);
        LocalUnlock(*list);
    }
    ShowArrowCursor();
    return static_cast<int32_t>(total);
}
