// The version of the 3D-controls library.  Portable: no windows.h.
#ifndef TOVARIN_SHELL_VERSIONTEXT_H
#define TOVARIN_SHELL_VERSIONTEXT_H

#include <stdint.h>

// A file version as its version resource's fixed part holds it: four 16-bit
// fields, most significant first, the first two in versionMS (dwFileVersionMS)
// and the last two in versionLS.  Made one number, versions compare field by
// field as numbers: 2.31 is newer than 2.26.1, and 2.26.1 than 2.26.  A file
// without a version resource has version 0.
uint64_t FileVersionFromFixed(uint32_t versionMS, uint32_t versionLS);

#endif
