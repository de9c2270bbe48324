// The version number of a library's version resource.
#include "shell/versiontext.h"

uint64_t FileVersionFromFixed(uint32_t versionMS, uint32_t versionLS)
{
    return static_cast<uint64_t>(versionMS) << 32 | versionLS;
}
