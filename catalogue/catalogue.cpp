// Reading "setup.inf" from the installer's directory.
#include "catalogue/catalogue.h"
#include "base/cursor.h"
#include "base/paths.h"

namespace {

int ReadFromHandle(void* context, void* buffer, uint32_t n)
{
    DWORD got = 0;
    return ReadFile(static_cast<HANDLE>(context), buffer, n, &got, nullptr) && got == n;
}

void* AllocateLocal(void*, size_t bytes)
{
    return LocalAlloc(LPTR, bytes);
}

void ReleaseLocal(void*, void* block)
{
    LocalFree(block);
}

// The catalogue's path: the installer's directory and "setup.inf", in
// lower case.  0 when the module name is unusable or the path too long.
int CataloguePath(char* path, size_t capacity)
{
    if (!InstallerDirectory(path, capacity))
        return 0;
    if (AppendText(path, capacity, "\\setup.inf") == 0)
        return 0;
    CharLowerA(path);
    return 1;
}

int ReadCatalogueFile(CatalogueEntry** entries, InstallOptions* options)
{
    char path[kPathBytes];
    if (!CataloguePath(path, sizeof path))
        return kCatalogueMissing;

    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return kCatalogueMissing;

    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    int result = kCatalogueInvalid;
    if (low != INVALID_FILE_SIZE || GetLastError() == NO_ERROR) {
        CatalogueSource source = {ReadFromHandle, file,
                                  static_cast<uint64_t>(high) << 32 | low};
        CatalogueMemory memory = {AllocateLocal, ReleaseLocal, nullptr};
        result = ReadCatalogue(&source, &memory, entries, options);
    }
    CloseHandle(file);
    return result;
}

}  // namespace

int LoadCatalogue(CatalogueEntry** entries, InstallOptions* options)
{
    ShowWaitCursor();
    int result = ReadCatalogueFile(entries, options);
    if (result == kCatalogueOk)
        Sleep(1000);
    ShowArrowCursor();
    return result;
}
