#include <gtest/gtest.h>

#include <stdint.h>

#include "shell/versiontext.h"

TEST(VersionText, VersionNumbers)
{
    EXPECT_EQ(VersionDigitsNumber("2.31.000"), 231000u);
    EXPECT_EQ(VersionDigitsNumber("2.26"), 226u);
    EXPECT_EQ(VersionDigitsNumber("2.31"), 231u);
    EXPECT_EQ(VersionDigitsNumber("2.26.1"), 2261u);
    EXPECT_EQ(VersionDigitsNumber("v1, build 7 (beta)"), 17u);
    EXPECT_EQ(VersionDigitsNumber(""), 0u);
    // Wraps in 32 bits, as the number always has.
    EXPECT_EQ(VersionDigitsNumber("99999999999"), static_cast<uint32_t>(99999999999ull));
}
