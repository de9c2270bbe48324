#include "base/language.h"

uint16_t ResourceLanguageFor(uint16_t userLanguage)
{
    // A language without a primary language (neutral, or the user's own
    // default) reads as English.
    uint16_t primary = userLanguage & 0x3FF;
    return primary != 0 ? static_cast<uint16_t>(primary | 0x0400) : kEnglishLanguage;
}

int FindBlockString(const uint8_t* block, uint32_t size, unsigned index, const uint8_t** text, uint32_t* units)
{
    if (index > 15)
        return 0;
    uint32_t at = 0;
    for (unsigned i = 0;; ++i) {
        if (size - at < 2)  // at never passes size
            return 0;
        uint32_t count = static_cast<uint32_t>(block[at] | (block[at + 1] << 8));
        at += 2;
        if (count > (size - at) / 2)
            return 0;
        if (i == index) {
            *text = block + at;
            *units = count;
            return 1;
        }
        at += count * 2;
    }
}
