// Reading and checking a setup.inf for infdump.  Portable: no windows.h.
#ifndef TOVARIN_TOOLS_INFDUMP_INFCHECK_H
#define TOVARIN_TOOLS_INFDUMP_INFCHECK_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "catalogue/catfile.h"

struct InfReport {
    CatalogueHeader header;
    std::vector<CatalogueEntry> entries;      // the names cut to 259 characters
    uint64_t sizeSum;                         // in 64 bits: no wrap-around
    uint64_t componentTotals[kComponentCount];
    uint64_t extraBytes;                      // after the last entry
    std::vector<std::string> problems;        // each one makes the file bad
    std::vector<std::string> notes;           // worth knowing, not wrong
};

// Reads and checks a catalogue held in memory: the signature, the entry
// count against the file's length, names terminated within their fields,
// bare source names and relative target paths, single-bit component masks,
// and the header total against the sum of the sizes.  Returns 1 when the
// entries could be read (report->entries is filled; report->problems may
// still be non-empty), 0 when the header or the file's length already fails
// (report->problems says why).
int CheckCatalogue(const uint8_t* data, size_t size, InfReport* report);

// The component's name as the installer shows it, "base" for 0x1, or "" for
// anything else.
const char* ComponentName(uint32_t bit);

// A name or path in lower case as the installer compares them, a
// character at a time in the code page the tools read (--codepage):
// letters of 1252, or in a double-byte code page the single-byte A-Z.
std::string LowerName(std::string text);

// The problem with a target path in words, for infdump and mkdist alike:
// what CheckTargetPath (catalogue/names.h), the installer's own check,
// finds.  Returns "" when the path is fine.
std::string TargetPathProblem(const std::string& path);

#endif
