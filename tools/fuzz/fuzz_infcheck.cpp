// Fuzz target of infdump's catalogue check (infdump takes any file): any
// input is read without reading out of bounds; what it reads has the
// entries the header announces and totals that add up; and a catalogue it
// finds nothing wrong with is one the installer takes, entry by entry.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "catalogue/catfile.h"
#include "catalogue/names.h"
#include "tools/infdump/infcheck.h"

namespace {

void Check(bool condition)
{
    if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Kept from run to run: the check clears it and reuses its room.
    static InfReport report;
    if (!CheckCatalogue(data, size, &report)) {
        Check(report.entries.empty() && !report.problems.empty());
        return 0;
    }
    const CatalogueHeader& h = report.header;
    Check(h.signature == kCatalogueSignature && h.entryCount != 0 && report.entries.size() == h.entryCount);
    Check(size >= CatalogueFileBytes(h.entryCount) && report.extraBytes == size - CatalogueFileBytes(h.entryCount));
    uint64_t sum = 0, totals = 0;
    for (const CatalogueEntry& e : report.entries) {
        Check(memchr(e.sourceName, 0, kCatalogueNameBytes) != nullptr &&
              memchr(e.targetPath, 0, kCatalogueNameBytes) != nullptr);
        sum += e.size;
    }
    for (uint64_t t : report.componentTotals) totals += t;
    Check(sum == report.sizeSum && totals == sum);
    if (!report.problems.empty()) return 0;
    Check(sum == h.totalBytes);
    for (uint32_t i = 0; i < h.entryCount; ++i) {
        CatalogueEntry e;
        Check(DecodeCatalogueEntry(data + kCatalogueHeaderBytes + uint64_t(kCatalogueEntryBytes) * i, &e) == 1);
        Check(IsBareFileName(e.sourceName) && CheckTargetPath(e.targetPath, nullptr) == kTargetOk);
        Check(e.componentMask == kBaseComponent || ComponentIndex(e.componentMask) != 0);
    }
    return 0;
}
