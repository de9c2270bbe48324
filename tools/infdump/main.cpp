// infdump: prints a setup.inf as a table and checks it.
//
//   infdump FILE
//
// Exit status 0 when the catalogue is sound, 1 when it has a problem (each
// one is named on standard error), 2 on a usage error.
#include <stdio.h>

#include <string>
#include <vector>

#include "tools/common/fileio.h"
#include "tools/infdump/infcheck.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: infdump FILE\n");
        return 2;
    }
    std::string path = argv[1];
    std::vector<uint8_t> data;
    std::string error;
    if (!ReadWholeFile(path, &data, &error)) {
        fprintf(stderr, "infdump: %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    InfReport report;
    if (CheckCatalogue(data.data(), data.size(), &report)) {
        const CatalogueHeader& h = report.header;
        printf("%s: signature 0x%X, %u entries, header total %u bytes, reserved 0x%X\n\n",
               path.c_str(), h.signature, h.entryCount, h.totalBytes, h.reserved);
        printf("%6s  %-14s %-40s %-10s %10s\n", "index", "source", "target", "components", "size");
        for (size_t i = 0; i < report.entries.size(); ++i) {
            const CatalogueEntry& e = report.entries[i];
            printf("%6zu  %-14s %-40s 0x%08X %10u\n", i, e.sourceName, e.targetPath,
                   e.componentMask, e.size);
        }
        printf("\n%-10s %-26s %12s\n", "component", "name", "bytes");
        for (int k = 0; k < kComponentCount; ++k) {
            uint32_t bit = 1u << k;
            const char* name = k == 0 ? "base and other masks" : ComponentName(bit);
            printf("0x%08X %-26s %12llu\n", bit, name,
                   static_cast<unsigned long long>(report.componentTotals[k]));
        }
        printf("%-37s %12llu\n", "sum of sizes",
               static_cast<unsigned long long>(report.sizeSum));
    }
    for (const std::string& note : report.notes) {
        fprintf(stderr, "infdump: %s: note: %s\n", path.c_str(), note.c_str());
    }
    for (const std::string& problem : report.problems) {
        fprintf(stderr, "infdump: %s: %s\n", path.c_str(), problem.c_str());
    }
    return report.problems.empty() ? 0 : 1;
}
