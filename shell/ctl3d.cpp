// The 3D-controls library on Windows NT: the installer's ctl3d32.dll goes
// into the system directory when it is newer than the copy there, then the
// library is loaded and announced, so that every dialog takes the 3D look.
// On Windows 95 nothing here touches a file.
#include "shell/shell.h"
#include "base/filewrite.h"
#include "base/paths.h"
#include "shell/runreport.h"
#include "shell/versiontext.h"

namespace {

typedef BOOL(WINAPI* Ctl3dEntry)(HINSTANCE);

const DWORD kPathBufferBytes = 1024;
const char kLibraryName[] = "\\ctl3d32.dll";

// 1 when the file exists.  The path is lower-cased in place first.
int LoweredFileExists(char* path)
{
    LowerPath(path);
    return FileExists(path);
}

}  // namespace

int FileVersionNumber(const char* path, uint64_t* number)
{
    *number = 0;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return 0;
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, size);
    if (block == nullptr)
        return 1;
    void* data = LocalLock(block);
    if (data == nullptr) {
        LocalFree(block);
        return 1;
    }
    // The fixed part holds the version as four numbers.  The FileVersion
    // text is for people and spelt freely: its digits run together, 2.26.1
    // (2261) would pass for newer than 2.31 (231).
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (GetFileVersionInfoA(path, 0, size, data) &&
        VerQueryValueA(data, "\\", reinterpret_cast<void**>(&fixed), &length) &&
        fixed != nullptr && length >= sizeof(VS_FIXEDFILEINFO) &&
        fixed->dwSignature == VS_FFI_SIGNATURE)
        *number = FileVersionFromFixed(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    LocalUnlock(block);
    LocalFree(block);
    return 1;
}

int UpdateCtl3dCopy(char* systemPath)
{
    UINT length = GetSystemDirectoryA(systemPath, kPathBufferBytes);
    if (length == 0 || length >= kPathBufferBytes ||
        AppendText(systemPath, kPathBufferBytes, kLibraryName) == 0) {
        systemPath[0] = '\0';
        return 1;
    }

    char sourcePath[kPathBufferBytes];
    length = GetModuleFileNameA(appInstance, sourcePath, kPathBufferBytes);
    if (length == 0 || length >= kPathBufferBytes)
        return 1;
    int slash = LastBackslash(sourcePath);
    sourcePath[slash < 0 ? 0 : slash] = '\0';
    if (AppendText(sourcePath, kPathBufferBytes, kLibraryName) == 0 || !LoweredFileExists(sourcePath))
        return 1;

    uint64_t sourceVersion = 0, systemVersion = 0;
    FileVersionNumber(sourcePath, &sourceVersion);
    if (LoweredFileExists(systemPath))
        FileVersionNumber(systemPath, &systemVersion);
    if (systemVersion >= sourceVersion)
        return 1;
    // Programs that run hold the system's copy: it is then replaced when
    // Windows starts next, and until then the one there is loaded.
    int result = CopyFileWhole(systemPath, sourcePath, kReplaceAtRestart);
    if (result == kFileWrittenAtRestart)
        runReport.undone |= kCtl3dAtRestart;
    else if (result != kFileWritten)
        runReport.undone |= kUndoneCtl3d;
    return result == kFileWritten;
}

int EnableCtl3d(HMODULE* library)
{
    if (!OnWindowsNT())
        return 1;
    char path[kPathBufferBytes];
    UpdateCtl3dCopy(path);
    *library = path[0] != '\0' ? LoadLibraryA(path) : nullptr;
    Ctl3dEntry registerEntry = nullptr, autoSubclass = nullptr;
    if (*library != nullptr) {
        registerEntry = reinterpret_cast<Ctl3dEntry>(
            reinterpret_cast<void*>(GetProcAddress(*library, "Ctl3dRegister")));
        autoSubclass = reinterpret_cast<Ctl3dEntry>(
            reinterpret_cast<void*>(GetProcAddress(*library, "Ctl3dAutoSubclass")));
    }
    // Without the library or its entries the installation goes on plainly;
    // only a failed subclassing after a good registration stops it.
    if (registerEntry == nullptr || !registerEntry(appInstance) || autoSubclass == nullptr)
        return 1;
    return autoSubclass(appInstance) ? 1 : 0;
}

int ReleaseCtl3d(HMODULE library)
{
    if (!OnWindowsNT() || library == nullptr)
        return 1;
    Ctl3dEntry unregisterEntry = reinterpret_cast<Ctl3dEntry>(
        reinterpret_cast<void*>(GetProcAddress(library, "Ctl3dUnregister")));
    if (unregisterEntry != nullptr)
        unregisterEntry(appInstance);
    FreeLibrary(library);
    return 1;
}
