// The lead bytes of the double-byte ANSI code pages, for the host: the
// tools that read the installer's formats (--codepage N) and the tests.
// The programs ask the system instead (IsDBCSLeadByteEx).  Portable: no
// windows.h.
#ifndef TOVARIN_BASE_CODEPAGES_H
#define TOVARIN_BASE_CODEPAGES_H

#include <stdint.h>

#include "base/text.h"

// The lead-byte test of code page 932 (Japanese), 936 (Simplified
// Chinese), 949 (Korean) or 950 (Traditional Chinese); null for a code
// page with no lead bytes (1252 and the other single-byte ones).
LeadByteTest HostLeadBytes(uint32_t codePage);

// 1 when the host knows the code page: 1252 and the other single-byte
// ANSI code pages of Windows (874, 1250 to 1258), and the four double-byte
// ones above.
int IsHostCodePage(uint32_t codePage);

// Reads text in codePage from now on, with its host table.
void UseHostCodePage(uint32_t codePage);

#endif
