// Fuzz target of the two marks by which mkdist knows its own earlier output
// (output.h), both read from places anyone may have put there: the head of
// a CD-ROM image and the .mkdist marker of a directory.  Any input is read
// without reading out of bounds.  An image taken for mkdist's carries its
// application identifier, padded with blanks; a marker that reads gives
// its list back from the text its writer makes of it, and a damaged one
// names a line and lists nothing.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "tools/mkdist/images.h"
#include "tools/mkdist/output.h"

namespace {

void Check(bool condition)
{
    if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int looks = LooksLikeCdImage(data, size);
    if (IsCdImageOfMkdist(data, size)) {
        const uint8_t* id = data + 32768 + 574;
        size_t n = strlen(kCdApplicationId);
        Check(looks && size >= 32768 + 574 + 128 && memcmp(id, kCdApplicationId, n) == 0);
        for (size_t i = n; i < 128; ++i) Check(id[i] == ' ');
    }

    // Kept from run to run, as the reader clears it.
    static std::set<std::string> listed, again;
    int badLine = -1;
    MarkerRead read = ReadOutputMarker(reinterpret_cast<const char*>(data), size, &listed, &badLine);
    switch (read) {
    case kMarkerNone:
    case kMarkerListless:
        Check(listed.empty() && badLine == 0);
        break;
    case kMarkerDamaged:
        Check(listed.empty() && badLine >= 2);
        break;
    case kMarkerListed: {
        Check(badLine == 0);
        std::vector<std::string> paths(listed.begin(), listed.end());
        for (const std::string& p : paths) Check(!p.empty() && p.find_first_of(std::string("\n\0", 2)) == std::string::npos);
        std::string text = OutputMarkerText(paths);
        Check(ReadOutputMarker(text.data(), text.size(), &again, &badLine) == kMarkerListed && again == listed);
        break;
    }
    }
    return 0;
}
