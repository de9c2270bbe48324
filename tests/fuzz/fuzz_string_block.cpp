// Feeds arbitrary bytes to the string-table lookup as a block of the
// resource section, which a damaged or edited program file may hold: a
// string is found only whole inside the block, right after its count;
// the sixteen follow one another without a gap; and once one is missing,
// every later one is missing too.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include "base/language.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0xFFFFFFFFu)
        return 0;
    const uint32_t bytes = static_cast<uint32_t>(size);
    const uint8_t* next = data;  // where the next string's count must be
    bool ended = false;
    unsigned sum = 0;
    for (unsigned index = 0; index <= 16; ++index) {
        const uint8_t* text = nullptr;
        uint32_t units = 0;
        int found = FindBlockString(data, bytes, index, &text, &units);
        if (found != 0 && found != 1)
            abort();
        if (!found) {
            ended = true;
            continue;
        }
        if (ended || index == 16 || text != next + 2 || units != uint32_t(next[0] | (next[1] << 8)) ||
            uint64_t(text - data) + 2 * uint64_t(units) > size)
            abort();
        // Every unit is read, so that AddressSanitizer sees one outside.
        for (uint32_t i = 0; i < 2 * units; ++i)
            sum += text[i];
        next = text + 2 * units;
    }
    volatile unsigned keep = sum;
    (void)keep;
    return 0;
}
