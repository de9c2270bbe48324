// A 3D-controls library for the end-to-end tests, built in several variants
// that differ in their version and in whether automatic subclassing
// succeeds (see CMakeLists.txt).  Each variant is installed as ctl3d32.dll;
// every call is appended to C:\ctl3d-calls.txt as "<variant> <entry>", so a
// scenario sees which copy setup.exe loaded and what it called.
//
// The spy variant also watches setup.exe's registry writes from inside: the
// platform, like Windows NT, stores a terminating zero that a REG_SZ write
// left out, so only the call itself shows the length that was passed.  It
// redirects setup.exe's import of RegSetValueExA and appends every call to
// C:\regset-calls.txt: name (or "(unnamed)"), TAB, type, TAB, byte count, TAB,
// the bytes passed, a line feed.
#include <windows.h>

#ifndef CTL3D_VARIANT
#error CTL3D_VARIANT names the variant
#endif
#ifndef CTL3D_SUBCLASS_RESULT
#define CTL3D_SUBCLASS_RESULT TRUE
#endif

namespace {

void Record(const char* entry)
{
    char line[128];
    int n = wsprintfA(line, "%s %s\r\n", CTL3D_VARIANT, entry);
    HANDLE file = CreateFileA("C:\\ctl3d-calls.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line, (DWORD)n, &written, nullptr);
    CloseHandle(file);
}

#ifdef CTL3D_SPY
typedef LONG(WINAPI* SetValueProc)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);
SetValueProc realSetValue;

LONG WINAPI SpySetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD count)
{
    HANDLE file = CreateFileA("C:\\regset-calls.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char head[400];
        int n = wsprintfA(head, "%s\t%lu\t%lu\t", name && *name ? name : "(unnamed)", type, count);
        DWORD written = 0;
        WriteFile(file, head, (DWORD)n, &written, nullptr);
        if (data && count)
            WriteFile(file, data, count, &written, nullptr);
        WriteFile(file, "\n", 1, &written, nullptr);
        CloseHandle(file);
    }
    return realSetValue(key, name, reserved, type, data, count);
}

// Points every import slot of module that holds RegSetValueExA at the spy.
void SpyOnRegistry(HMODULE module)
{
    FARPROC real = GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegSetValueExA");
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const IMAGE_NT_HEADERS* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!real || !imports.VirtualAddress)
        return;
    realSetValue = reinterpret_cast<SetValueProc>(reinterpret_cast<void*>(real));
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; d++) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); slot->u1.Function; slot++) {
            if (slot->u1.Function != reinterpret_cast<ULONG_PTR>(real))
                continue;
            DWORD old;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &old);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(SpySetValue);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, old, &old);
        }
    }
}
#endif

} // namespace

extern "C" {

__declspec(dllexport) BOOL WINAPI Ctl3dRegister(HINSTANCE instance)
{
    Record("Ctl3dRegister");
#ifdef CTL3D_SPY
    SpyOnRegistry(instance);
#else
    (void)instance;
#endif
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI Ctl3dAutoSubclass(HINSTANCE)
{
    Record("Ctl3dAutoSubclass");
    return CTL3D_SUBCLASS_RESULT;
}

__declspec(dllexport) BOOL WINAPI Ctl3dUnregister(HINSTANCE)
{
    Record("Ctl3dUnregister");
    return TRUE;
}

} // extern "C"
