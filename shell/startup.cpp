// Start-up code and the little run-time library of setup.exe.
//
// setup.exe links against no C run-time DLL: this file is its entry point
// and supplies the few routines that the compiler may call on its own
// (memset, memcpy, memmove and memcmp for block copies of records, strlen
// for the loops that it recognises, and on i686 the 64-bit division).  It is
// compiled without builtins so that those loops are not turned back into
// calls to themselves.
#include "shell/shell.h"
#include "shell/cmdline.h"
#include "base/widediv.h"

extern "C" void ExitRuntime(int code)
{
    // Nothing registers termination handlers: setup.exe runs no static
    // constructors and so needs no destructors either.
    ExitProcess(static_cast<UINT>(code));
}

// The process entry: derives WinMain's arguments from the process.
extern "C" void SetupStartup(void)
{
    char* tail = const_cast<char*>(CommandTail(GetCommandLineA()));

    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;

    ExitRuntime(WinMain(GetModuleHandleA(nullptr), nullptr, tail, show));
}

extern "C" void* memset(void* to, int value, size_t n)
{
    unsigned char* d = static_cast<unsigned char*>(to);
    while (n-- > 0)
        *d++ = static_cast<unsigned char>(value);
    return to;
}

extern "C" void* memcpy(void* to, const void* from, size_t n)
{
    unsigned char* d = static_cast<unsigned char*>(to);
    const unsigned char* s = static_cast<const unsigned char*>(from);
    while (n-- > 0)
        *d++ = *s++;
    return to;
}

extern "C" void* memmove(void* to, const void* from, size_t n)
{
    unsigned char* d = static_cast<unsigned char*>(to);
    const unsigned char* s = static_cast<const unsigned char*>(from);
    if (d < s) {
        while (n-- > 0)
            *d++ = *s++;
    } else {
        while (n-- > 0)
            d[n] = s[n];
    }
    return to;
}

extern "C" int memcmp(const void* a, const void* b, size_t n)
{
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    for (; n > 0; --n, ++x, ++y) {
        if (*x != *y)
            return *x < *y ? -1 : 1;
    }
    return 0;
}

extern "C" size_t strlen(const char* text)
{
    const char* end = text;
    while (*end != '\0')
        ++end;
    return static_cast<size_t>(end - text);
}

#if defined(__i386__)
extern "C" uint64_t __udivdi3(uint64_t n, uint64_t d)
{
    return DivideWide(n, d);
}

extern "C" int64_t __divdi3(int64_t n, int64_t d)
{
    return DivideWideSigned(n, d, __udivdi3);
}
#endif
