#include <gtest/gtest.h>

#include <stdint.h>

#include "shell/versiontext.h"

namespace {

// A version of four fields, as a version resource's fixed part holds it.
uint64_t Version(uint32_t a, uint32_t b, uint32_t c = 0, uint32_t d = 0)
{
    return FileVersionFromFixed(a << 16 | b, c << 16 | d);
}

}  // namespace

TEST(VersionText, FieldsCompareAsNumbersMostSignificantFirst)
{
    const struct {
        const char* what;
        uint64_t newer;
        uint64_t older;
    } cases[] = {
        {"2.31 over 2.26.1 (not 231 against 2261)", Version(2, 31), Version(2, 26, 1)},
        {"2.26.1 over 2.26", Version(2, 26, 1), Version(2, 26)},
        {"2.31 over 2.26", Version(2, 31), Version(2, 26)},
        {"2.10 over 2.9", Version(2, 10), Version(2, 9)},
        {"3.0 over 2.65535.65535.65535", Version(3, 0), Version(2, 65535, 65535, 65535)},
        {"1.0.0.1 over 1.0", Version(1, 0, 0, 1), Version(1, 0)},
        {"0.0.1.0 over 0.0.0.65535", Version(0, 0, 1, 0), Version(0, 0, 0, 65535)},
        {"32768.0 over 32767.65535 (unsigned)", Version(32768, 0), Version(32767, 65535)},
        {"0.0.0.1 over none", Version(0, 0, 0, 1), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_GT(c.newer, c.older);
        EXPECT_LT(c.older, c.newer);
    }
    // Trailing zero fields change nothing: 2.31.000 is 2.31.
    EXPECT_EQ(Version(2, 31, 0), Version(2, 31));
    EXPECT_EQ(FileVersionFromFixed(0, 0), 0u);
}
