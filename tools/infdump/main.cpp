// infdump: prints a setup.inf as a table and checks it.
//
//   infdump [--codepage N] FILE
//   infdump --help    prints this usage on standard output
//
// N is the ANSI code page the catalogue's names are in, as the installer
// reads them on a system of that code page (default 1252; in 932, 936, 949
// and 950 a character's second byte may be "\\", "|" or a letter).
// FILE is a setup.inf, or a floppy image (FAT12, read with mtools' mcopy)
// or a CD-ROM image (ISO 9660, read with xorriso) whose root holds one.
// Exit status 0 when the catalogue is sound, 1 when it has a problem (each
// one is named on standard error), 2 on a usage error (the usage goes to
// standard error).  A FILE whose name starts with '-' is given as ./-name.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "base/codepages.h"
#include "tools/common/fileio.h"
#include "tools/infdump/infcheck.h"
#include "tools/mkdist/floppy.h"
#include "tools/mkdist/images.h"

namespace {

// The usage on standard output when asked for (status 0), else on standard
// error (status 2).
int Usage(bool asked)
{
    fprintf(asked ? stdout : stderr,
            "usage: infdump [--codepage N] FILE\n"
            "       infdump --help\n");
    return asked ? 0 : 2;
}

// When data is a floppy or CD-ROM image, replaces it with the setup.inf in
// its root.  1, or 0 with *error.
int ReadFromImage(const std::string& path, std::vector<uint8_t>* data, std::string* error)
{
    FatBootSector boot;
    bool floppy = ReadFatBootSector(data->data(), data->size(), &boot) != 0;
    bool cd = LooksLikeCdImage(data->data(), data->size()) != 0;
    if (!floppy && !cd) return 1;
    const char* tmpdir = getenv("TMPDIR");
    std::string scratch = std::string(tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp") + "/infdump.XXXXXX";
    if (mkdtemp(&scratch[0]) == nullptr) {
        *error = scratch + ": " + strerror(errno);
        return 0;
    }
    std::string copy = scratch + "/setup.inf";
    int ok = floppy ? ReadFileFromFloppyImage(path, "SETUP.INF", copy, error)
                    : ReadFileFromCdImage(path, "/setup.inf", copy, error);
    if (!ok) {
        *error = "no setup.inf read from this " + std::string(floppy ? "floppy" : "CD-ROM") + " image (" + *error +
                 ")";
    }
    ok = ok && ReadWholeFile(copy, data, error);
    RemoveTree(scratch);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "--help") == 0) return Usage(true);
    if (argc == 4 && strcmp(argv[1], "--codepage") == 0) {
        char* end = nullptr;
        unsigned long number = argv[2][0] >= '0' && argv[2][0] <= '9' ? strtoul(argv[2], &end, 10) : 0;
        if (end == nullptr || *end != '\0' || number > 0xFFFF || !IsHostCodePage(uint32_t(number))) {
            fprintf(stderr, "infdump: --codepage: no ANSI code page \"%s\" (1252, 874, 1250-1258, 932, 936, 949 "
                            "or 950)\n", argv[2]);
            return 2;
        }
        UseHostCodePage(uint32_t(number));
        argv += 2;
        argc -= 2;
    }
    // An option that infdump does not know is a usage error, not a file.
    if (argc != 2 || (argv[1][0] == '-' && argv[1][1] != '\0')) return Usage(false);
    std::string path = argv[1];
    std::vector<uint8_t> data;
    std::string error;
    if (!ReadWholeFile(path, &data, &error)) {
        fprintf(stderr, "infdump: %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    if (!ReadFromImage(path, &data, &error)) {
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
