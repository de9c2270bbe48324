#include "shell/cmdline.h"

const char* CommandTail(const char* commandLine)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        // Bytes of 0x80 and above belong to the program name.
        while (*p > 0x20)
            ++p;
    }
    while (*p != '\0' && *p <= 0x20)
        ++p;
    return reinterpret_cast<const char*>(p);
}
