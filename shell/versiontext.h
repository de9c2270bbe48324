// The version of the 3D-controls library.  Portable: no windows.h.
#ifndef TOVARIN_SHELL_VERSIONTEXT_H
#define TOVARIN_SHELL_VERSIONTEXT_H

#include <stdint.h>

// The version number of a FileVersion text: its decimal digits read one
// after the other as one number, wrapping in 32 bits ("2.31.000" is
// 231000, "2.26.1" is 2261).
uint32_t VersionDigitsNumber(const char* text);

#endif
