// Copying a file as it is, for the 3D-controls library and the document
// template.
#include "shell/shell.h"
#include "shell/dialogs.h"
#include "base/paths.h"
#include "resources/resource.h"

int CopyPlainFile(HWND owner, const char* targetPath, const char* sourcePath)
{
    BYTE* buffer = static_cast<BYTE*>(LocalAlloc(LPTR, kCopyBlockBytes));
    if (buffer == nullptr)
        return 0;
    HANDLE source = CreateFileA(sourcePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source == INVALID_HANDLE_VALUE) {
        LocalFree(buffer);
        return 1;
    }
    HANDLE target = CreateTargetFile(targetPath);
    if (target == INVALID_HANDLE_VALUE) {
        CloseHandle(source);
        LocalFree(buffer);
        return 1;
    }
    int result = 1;
    for (;;) {
        DWORD got = 0, put = 0;
        if (!ReadFile(source, buffer, kCopyBlockBytes, &got, nullptr) ||
            (got > 0 && (!WriteFile(target, buffer, got, &put, nullptr) || put != got))) {
            ShowMessage(owner, MSG_COPY_FAILED, nullptr);
            result = 0;
            break;
        }
        if (got < kCopyBlockBytes)
            break;
    }
    CloseHandle(target);
    CloseHandle(source);
    LocalFree(buffer);
    return result;
}
