// Fuzz target of mkdist's manifest reader (a text anyone writes): any text
// is read without reading out of bounds; it is good exactly when no line is
// refused, every refusal names a line of the text, and every file it keeps
// has a source, a target the installer takes, one component bit and a
// target no other file has in any letter case.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <string>
#include <vector>

#include "catalogue/names.h"
#include "catalogue/options.h"
#include "tools/mkdist/manifest.h"

namespace {

void Check(bool condition)
{
    if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    Manifest manifest;
    std::vector<ManifestError> errors;
    int good = ParseManifest(text, &manifest, &errors);
    Check(good == (errors.empty() ? 1 : 0));

    int lines = 0;
    for (size_t i = 0; i < size; ++i) lines += data[i] == '\n';
    if (size > 0 && data[size - 1] != '\n') ++lines;
    for (const ManifestError& e : errors) Check(e.line >= 1 && e.line <= lines && !e.reason.empty());
    Check(manifest.setupPath.empty() == (manifest.setupLine == 0));
    Check(manifest.ctl3dPath.empty() == (manifest.ctl3dLine == 0));

    int last = 0;
    for (size_t i = 0; i < manifest.files.size(); ++i) {
        const ManifestFile& f = manifest.files[i];
        Check(f.line > last && f.line <= lines && !f.source.empty());
        last = f.line;
        Check(CheckTargetPath(f.target.c_str(), nullptr) == kTargetOk && f.target.size() == strlen(f.target.c_str()));
        Check(f.component == kBaseComponent || ComponentIndex(f.component) != 0);
        // Pairs only while they are few: the reader's own map is the fast way.
        for (size_t j = 0; j < i && manifest.files.size() <= 64; ++j) {
            Check(strcasecmp(manifest.files[j].target.c_str(), f.target.c_str()) != 0);
        }
    }
    return 0;
}
