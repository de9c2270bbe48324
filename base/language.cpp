#include "base/language.h"

uint16_t ChooseLanguage(uint16_t userLanguage)
{
    switch (userLanguage & 0x3FF) {
    case 0x07:
        return kGermanLanguage;
    case 0x0C:
        return kFrenchLanguage;
    default:
        return kEnglishLanguage;
    }
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
