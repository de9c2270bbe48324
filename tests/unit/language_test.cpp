// The choice of language and the reading of string table blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/language.h"
#include "base/text.h"

namespace {

TEST(Language, ThePrimaryLanguageDecides)
{
    const struct {
        uint16_t user, chosen;
    } cases[] = {
        {0x0407, kGermanLanguage}, {0x0807, kGermanLanguage}, {0x0C07, kGermanLanguage},
        {0x1407, kGermanLanguage}, {0xFC07, kGermanLanguage}, {0x040C, kFrenchLanguage},
        {0x080C, kFrenchLanguage}, {0x0C0C, kFrenchLanguage}, {0x100C, kFrenchLanguage},
        {0x0409, kEnglishLanguage}, {0x0809, kEnglishLanguage}, {0x0C09, kEnglishLanguage},
        // Languages of no set here: the program finds none and takes English.
        {0x0413, 0x0413}, {0x0C0A, 0x040A},
        // Neutral and the user's default read as English.
        {0x0000, kEnglishLanguage}, {0x0400, kEnglishLanguage},
        // A primary language whose low byte is German's or French's is not.
        {0x0107, 0x0507}, {0x020C, 0x060C},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResourceLanguageFor(c.user), c.chosen) << std::hex << c.user;
}

// A block as windres writes it: 16 counted strings, the missing ones empty.
std::vector<uint8_t> Block(const std::vector<std::u16string>& strings)
{
    std::vector<uint8_t> block;
    for (size_t i = 0; i < 16; ++i) {
        std::u16string s = i < strings.size() ? strings[i] : u"";
        block.push_back(static_cast<uint8_t>(s.size()));
        block.push_back(static_cast<uint8_t>(s.size() >> 8));
        for (char16_t unit : s) {
            block.push_back(static_cast<uint8_t>(unit));
            block.push_back(static_cast<uint8_t>(unit >> 8));
        }
    }
    return block;
}

std::u16string Found(const std::vector<uint8_t>& block, uint32_t size, unsigned index, int* result)
{
    const uint8_t* text = nullptr;
    uint32_t units = 0;
    *result = FindBlockString(block.data(), size, index, &text, &units);
    std::u16string s;
    for (uint32_t i = 0; *result && i < units; ++i)
        s += static_cast<char16_t>(text[2 * i] | (text[2 * i + 1] << 8));
    return s;
}

TEST(Language, FindsEachStringOfABlockAndNothingPastItsEnd)
{
    std::vector<uint8_t> block = Block({u"", u"Tovarin Setup", u"Suche nach \u00c4lterem", u"GUIDE"});
    const uint32_t whole = static_cast<uint32_t>(block.size());
    const struct {
        uint32_t size;
        unsigned index;
        int result;
        std::u16string text;
    } cases[] = {
        {whole, 0, 1, u""},
        {whole, 1, 1, u"Tovarin Setup"},
        {whole, 2, 1, u"Suche nach \u00c4lterem"},
        {whole, 3, 1, u"GUIDE"},
        {whole, 15, 1, u""},
        {whole, 16, 0, u""},
        // Cut inside string 1's units, inside a count, and before string 15.
        {2 + 2 + 10, 1, 0, u""},
        {2 + 2 + 26 + 1, 2, 0, u""},
        {whole - 2, 15, 0, u""},
        {0, 0, 0, u""},
    };
    for (const auto& c : cases) {
        int result = -1;
        std::u16string text = Found(block, c.size, c.index, &result);
        EXPECT_EQ(result, c.result) << "size " << c.size << ", string " << c.index;
        EXPECT_TRUE(text == c.text) << "size " << c.size << ", string " << c.index;
    }
}

// A count that claims more than the block holds is not followed past it,
// also where count * 2 would wrap.
TEST(Language, ACountLargerThanTheBlockIsRefused)
{
    for (uint16_t count : {uint16_t(3), uint16_t(0x7FFF), uint16_t(0xFFFF)}) {
        std::vector<uint8_t> block = {static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8), 'a', 0};
        int result = -1;
        Found(block, static_cast<uint32_t>(block.size()), 0, &result);
        EXPECT_EQ(result, 0) << count;
    }
}

}  // namespace

namespace {

// KB figures as each language writes them.
TEST(Language, FiguresPartedByThousands)
{
    const struct {
        uint32_t value;
        char separator;
        size_t capacity;
        const char* text;
    } cases[] = {
        {0, '.', 16, "0"},
        {999, '.', 16, "999"},
        {1000, '.', 16, "1.000"},
        {21718, '.', 16, "21.718"},
        {59981168, '\xA0', 16, "59\xA0" "981\xA0" "168"},
        {4294967295u, '.', 16, "4.294.967.295"},
        {4294967295u, 0, 16, "4294967295"},
        {4294967295u, '.', 14, "4.294.967.295"},
        {4294967295u, '.', 13, ""},  // no room for the terminating zero
        {123456, ',', 7, ""},
        {5, 0, 2, "5"},
        {5, 0, 1, ""},
    };
    for (const auto& c : cases) {
        char out[16] = "unchanged";
        size_t length = FormatGrouped(c.value, c.separator, out, c.capacity);
        EXPECT_STREQ(out, c.text) << c.value;
        EXPECT_EQ(length, strlen(c.text)) << c.value;
    }
}

}  // namespace
