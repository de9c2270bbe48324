// The version number of a library's FileVersion text.
#include "shell/versiontext.h"

uint32_t VersionDigitsNumber(const char* text)
{
    uint32_t number = 0;
    for (; *text != '\0'; ++text) {
        if (*text >= '0' && *text <= '9')
            number = number * 10u + static_cast<uint32_t>(*text - '0');
    }
    return number;
}
