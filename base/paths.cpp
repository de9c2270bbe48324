// Directories and free space on the system's volumes.
#include "base/paths.h"
#include "base/journal.h"

ActionListener actionListener = nullptr;

namespace {

int MakeDirectory(const char* dir, void*)
{
    if (GetFileAttributesA(dir) != INVALID_FILE_ATTRIBUTES)
        return 1;
    NoteAction(kNoteDirectory, 0, dir);
    return CreateDirectoryA(dir, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

int DirectoryExists(const char* dir)
{
    if (dir[0] == '\0')
        return 0;
    // A path too long to join cannot be listed: it does not exist for us.
    char pattern[kPathBytes];
    if (JoinPath(dir, "*", pattern, sizeof pattern) == 0)
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA(pattern, &found);
    if (listing != INVALID_HANDLE_VALUE) {
        FindClose(listing);
        return 1;
    }
    // An empty directory (or the root of an empty drive) lists nothing.
    return GetLastError() == ERROR_FILE_NOT_FOUND;
}

int FileExists(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

size_t WholePath(const char* path, char* out)
{
    DWORD length = path[0] != '\0' ? GetFullPathNameA(path, kPathBytes, out, nullptr) : 0;
    if (length == 0 || length >= kPathBytes) {
        out[0] = '\0';
        return 0;
    }
    // Stepped back a character: a trail byte may be a backslash's code.
    char* last = CharPrevA(out, out + length);
    if (length > 3 && last == out + length - 1 && *last == '\\')
        out[--length] = '\0';
    return length;
}

namespace {

int doubleBytes;

int SystemLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte);
}

}  // namespace

void UseSystemCodePage()
{
    CPINFO info;
    // A code page of single bytes has no lead bytes to ask about.
    doubleBytes = GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
    SetTextCodePage(GetACP(), doubleBytes ? SystemLeadByte : nullptr);
}

void LowerPath(char* path)
{
    if (doubleBytes)
        LowerText(path);
    else
        CharLowerA(path);
}

int CreateDirectoryPath(const char* path)
{
    return ForEachDirectoryOfPath(path, MakeDirectory, nullptr);
}

int ShellFolder(const char* name, char* folder)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD bytes = kPathBytes - 1;
    LONG read = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(folder), &bytes);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS)
        return 0;
    folder[bytes] = '\0';
    return 1;
}

int InstallerDirectory(char* dir, size_t capacity)
{
    DWORD length = GetModuleFileNameA(nullptr, dir, static_cast<DWORD>(capacity));
    if (length == 0 || length >= capacity)
        return 0;
    int slash = LastBackslash(dir);
    if (slash < 0)
        return 0;
    dir[slash] = '\0';
    return 1;
}

HANDLE CreateTargetFile(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    return file;
}

uint32_t FreeSpaceKB(const char* path)
{
    char root[kPathBytes];
    if (VolumeRoot(path, root, sizeof root) == 0)
        return 0;
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return 0;
    return FreeSpaceFromClusters(freeClusters, bytesPerSector, sectorsPerCluster);
}
