// Fuzz target of the SZDD expander: any input is refused or expanded
// without reading or writing out of bounds; what it accepts expands to
// exactly the header's length, and compressing that output again gives a
// file that expands back to it.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <vector>

#include "tools/szdd/szdd.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> out;
    int r = SzddExpand(data, size, &out);
    SzddHeader header;
    if (r == kSzddOk) {
        if (SzddReadHeader(data, size, &header) != kSzddOk) abort();
        if (out.size() != header.expandedBytes) abort();
        if (out.size() <= 65536) {
            std::vector<uint8_t> packed, back;
            SzddCompress(out.data(), out.size(), header.lastChar, &packed);
            if (SzddExpand(packed.data(), packed.size(), &back) != kSzddOk || back != out) abort();
        }
    } else if (r != kSzddBadMagic && r != kSzddBadMode && r != kSzddTruncated &&
               r != kSzddLengthMismatch) {
        abort();
    }
    return 0;
}
