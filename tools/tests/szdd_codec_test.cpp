// The SZDD codec: round trips, the optimal parse, and what the expander
// refuses.
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "tools/szdd/szdd.h"
#include "tools/tests/testutil.h"

namespace {

struct Input {
    const char* name;
    Bytes bytes;
};

std::vector<Input> EdgeInputs()
{
    std::vector<Input> in;
    in.push_back({"empty", {}});
    in.push_back({"one byte", {'x'}});
    in.push_back({"one blank", {' '}});
    in.push_back({"two bytes", {'a', 'b'}});
    in.push_back({"15 bytes", TextBytes(15, 1)});
    in.push_back({"16 bytes", TextBytes(16, 2)});
    in.push_back({"17 bytes", TextBytes(17, 3)});
    in.push_back({"run of a", Bytes(10000, 'a')});
    in.push_back({"run of blanks", Bytes(9000, ' ')});   // the ring's own fill
    in.push_back({"run of zeros", Bytes(70000, 0)});
    in.push_back({"random 10000", RandomBytes(10000, 4)});
    in.push_back({"text 50000", TextBytes(50000, 5)});
    for (size_t n : {4078u, 4079u, 4080u, 4081u, 4095u, 4096u, 4097u, 8191u, 8192u, 8193u, 12288u}) {
        in.push_back({"mixed", MixedBytes(n, n)});
    }
    in.push_back({"mixed 300000", MixedBytes(300000, 6)});
    // Period 4096 and 4097: matches at the very edge of the ring.
    Bytes period = RandomBytes(4096, 7);
    Bytes twice = period;
    twice.insert(twice.end(), period.begin(), period.end());
    in.push_back({"period 4096", twice});
    Bytes p2 = RandomBytes(4097, 8);
    Bytes twice2 = p2;
    twice2.insert(twice2.end(), p2.begin(), p2.end());
    in.push_back({"period 4097", twice2});
    return in;
}

Bytes Header(uint32_t length, uint8_t mode = 'A')
{
    Bytes b = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33, mode, 0};
    for (int k = 0; k < 4; ++k) b.push_back(uint8_t(length >> (8 * k)));
    return b;
}

Bytes Cat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(SzddCodec, RoundTripsEveryEdgeInput)
{
    for (const Input& in : EdgeInputs()) {
        SCOPED_TRACE(std::string(in.name) + ", " + std::to_string(in.bytes.size()) + " bytes");
        Bytes packed, back;
        ASSERT_EQ(kSzddOk, SzddCompress(in.bytes.data(), in.bytes.size(), 'e', &packed));
        SzddHeader h;
        ASSERT_EQ(kSzddOk, SzddReadHeader(packed.data(), packed.size(), &h));
        EXPECT_EQ(in.bytes.size(), h.expandedBytes);
        EXPECT_EQ('e', h.lastChar);
        ASSERT_EQ(kSzddOk, SzddExpand(packed.data(), packed.size(), &back));
        EXPECT_TRUE(back == in.bytes);
        // The yardstick parses must be valid streams too, never smaller.
        for (int tree = 0; tree < 2; ++tree) {
            Bytes lazy;
            ASSERT_EQ(kSzddOk, SzddCompressLazy(in.bytes.data(), in.bytes.size(), 0, tree, &lazy));
            ASSERT_EQ(kSzddOk, SzddExpand(lazy.data(), lazy.size(), &back));
            EXPECT_TRUE(back == in.bytes);
            EXPECT_LE(packed.size(), lazy.size());
        }
    }
}

TEST(SzddCodec, TreeFindsTheSameMatchesAsAnExhaustiveSearch)
{
    // Both parses are optimal for the matches they are given; equal sizes
    // mean the tree found the longest match wherever the search did.
    for (const Input& in : EdgeInputs()) {
        SCOPED_TRACE(in.name);
        Bytes fast, slow;
        SzddCompress(in.bytes.data(), in.bytes.size(), 0, &fast);
        SzddCompressExhaustive(in.bytes.data(), in.bytes.size(), 0, &slow);
        EXPECT_EQ(slow.size(), fast.size());
    }
}

TEST(SzddCodec, SizesFollowTheBitCosts)
{
    // 14-byte header; then a flag byte per eight items.
    struct Case { const char* name; Bytes in; size_t size; };
    const Case cases[] = {
        {"empty: header only", {}, 14},
        {"one literal", {'x'}, 14 + 1 + 1},
        {"eight literals fill one group", Bytes{'a','b','c','d','e','f','g','h'}, 14 + 1 + 8},
        {"nine literals open a second", Bytes{'a','b','c','d','e','f','g','h','i'}, 14 + 2 + 9},
        // 18 blanks are one match into the ring's initial blanks.
        {"18 blanks", Bytes(18, ' '), 14 + 1 + 2},
        // 'a', then a 17-byte match overlapping the write position ... and so on.
        {"19 a", Bytes(19, 'a'), 14 + 1 + 1 + 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes packed;
        SzddCompress(c.in.data(), c.in.size(), 0, &packed);
        EXPECT_EQ(c.size, packed.size());
    }
}

TEST(SzddCodec, ExpandsHandMadeStreams)
{
    struct Case { const char* name; Bytes stream; std::string expect; };
    const Case cases[] = {
        // flags 0b01: literal 'a', then a match at slot 4080 (0xFF0) of 5:
        // it starts at the 'a' just written and runs into its own output.
        {"overlapping match", Cat(Header(6), {0x01, 'a', 0xF0, 0xF2}), "aaaaaa"},
        // A match at slot 0 before anything was written reads the blanks.
        {"match into the initial blanks", Cat(Header(3), {0x00, 0x00, 0x00}), "   "},
        // A lone flag byte after a full group adds nothing.
        {"trailing flag byte", Cat(Header(8), {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x00}),
         "abcdefgh"},
        {"empty", Header(0), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes out;
        ASSERT_EQ(kSzddOk, SzddExpand(c.stream.data(), c.stream.size(), &out));
        EXPECT_EQ(c.expect, std::string(out.begin(), out.end()));
    }
}

TEST(SzddCodec, RefusesDamagedStreams)
{
    Bytes good;
    Bytes text = TextBytes(3000, 9);
    SzddCompress(text.data(), text.size(), 0, &good);
    Bytes cut = good;
    cut.resize(good.size() - 5);
    Bytes longer = Cat(good, {0x01, 'x'});
    Bytes lengthSmall = good;
    lengthSmall[10] = uint8_t(lengthSmall[10] - 1);
    Bytes lengthLarge = good;
    lengthLarge[11] = uint8_t(lengthLarge[11] + 1);
    struct Case { const char* name; Bytes stream; int result; };
    const Case cases[] = {
        {"no bytes", {}, kSzddBadMagic},
        {"KWAJ file", {'K', 'W', 'A', 'J', 0x88, 0xF0, 0x27, 0xD1, 0, 0, 0, 0, 0, 0}, kSzddBadMagic},
        {"plain text", Bytes(text.begin(), text.begin() + 100), kSzddBadMagic},
        {"half a magic", {0x53, 0x5A, 0x44, 0x44}, kSzddTruncated},
        {"header cut short", Bytes(good.begin(), good.begin() + 12), kSzddTruncated},
        {"mode B", Header(0, 'B'), kSzddBadMode},
        {"header only, length 5", Header(5), kSzddTruncated},
        {"match cut after one byte", Cat(Header(3), {0x00, 0x12}), kSzddTruncated},
        {"data cut off", cut, kSzddTruncated},
        {"items after the length", longer, kSzddLengthMismatch},
        {"length one too small", lengthSmall, kSzddLengthMismatch},
        {"length 256 bytes too large", lengthLarge, kSzddTruncated},
        {"4 GB length, 1 byte of data", Cat(Header(0xFFFFFFFFu), {0x01}), kSzddTruncated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes out;
        EXPECT_EQ(c.result, SzddExpand(c.stream.data(), c.stream.size(), &out));
        EXPECT_NE(std::string("unknown error"), SzddResultText(c.result));
    }
}

TEST(SzddCodec, StoresPlainOnlyWhatDoesNotShrink)
{
    Bytes random = RandomBytes(5000, 10), text = TextBytes(5000, 11);
    Bytes packedRandom, packedText;
    SzddCompress(random.data(), random.size(), 0, &packedRandom);
    SzddCompress(text.data(), text.size(), 0, &packedText);
    EXPECT_TRUE(SzddStorePlain(random.data(), random.size(), packedRandom.size()));
    EXPECT_FALSE(SzddStorePlain(text.data(), text.size(), packedText.size()));
    EXPECT_TRUE(SzddStorePlain(nullptr, 0, 14));
    // A plain file that starts like an SZDD file would be taken for one.
    Bytes lookalike = Cat(Header(77), RandomBytes(100, 12));
    EXPECT_FALSE(SzddStorePlain(lookalike.data(), lookalike.size(), lookalike.size() + 20));
}

}  // namespace
