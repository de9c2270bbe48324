// The found-installations list: building and walking it, damaged blocks
// (walked from heap blocks of their exact size, so any read past the end is
// caught), and the path texts of the search.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "integration/foundlist.h"

namespace {

std::vector<std::string> Walk(const uint8_t* block, size_t blockBytes) {
    std::vector<std::string> entries;
    uint32_t offset = kFoundListHeaderBytes;
    while (const char* entry = NextFoundEntry(block, blockBytes, &offset)) {
        entries.push_back(entry);
        if (entries.size() > blockBytes) break;   // a walk that never ends
    }
    return entries;
}

// Walks a copy of bytes held in a heap block of exactly that size.
std::vector<std::string> WalkExact(const std::vector<uint8_t>& bytes) {
    uint8_t* block = new uint8_t[bytes.size() ? bytes.size() : 1];
    if (!bytes.empty()) memcpy(block, bytes.data(), bytes.size());
    std::vector<std::string> entries = Walk(block, bytes.size());
    delete[] block;
    return entries;
}

std::vector<uint8_t> ListBytes(uint32_t totalLength, const std::string& body) {
    std::vector<uint8_t> bytes(4 + body.size());
    SetFoundListLength(bytes.data(), totalLength);
    memcpy(bytes.data() + 4, body.data(), body.size());
    return bytes;
}

TEST(FoundList, BuildAndWalk) {
    const std::vector<std::string> dirs = {"C:\\", "C:\\Apps\\Tovarin", "D:\\tov"};
    size_t bytes = 4;
    for (const std::string& d : dirs) bytes += d.size() + 1;
    std::vector<uint8_t> block(bytes);
    uint32_t offset = 4;
    for (const std::string& d : dirs) {
        uint32_t stored = StoreFoundEntry(block.data(), block.size(), offset, d.c_str());
        EXPECT_EQ(stored, d.size() + 1);
        offset += stored;
    }
    EXPECT_EQ(offset, bytes);
    SetFoundListLength(block.data(), offset);
    EXPECT_EQ(block[0], bytes & 0xFF);   // little-endian
    EXPECT_EQ(block[1], 0);
    EXPECT_EQ(FoundListLength(block.data()), bytes);
    EXPECT_EQ(WalkExact(block), dirs);
}

TEST(FoundList, StoreRefusesWhatDoesNotFit) {
    std::vector<uint8_t> block(10, 0xEE);
    EXPECT_EQ(StoreFoundEntry(block.data(), block.size(), 4, "C:\\abc"), 0u);   // needs 7
    EXPECT_EQ(StoreFoundEntry(block.data(), block.size(), 11, "C"), 0u);
    EXPECT_EQ(StoreFoundEntry(block.data(), block.size(), 0xFFFFFFFF, "C"), 0u);
    for (uint8_t b : block) EXPECT_EQ(b, 0xEE);
    EXPECT_EQ(StoreFoundEntry(block.data(), block.size(), 4, "C:\\ab"), 6u);   // exactly fits
    EXPECT_EQ(block[9], 0);
}

TEST(FoundList, EmptyAndDamagedListsStayInsideTheBlock) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::vector<std::string> entries;
    } cases[] = {
        {"empty list", ListBytes(4, ""), {}},
        {"totalLength 0", ListBytes(0, std::string("C:\\\0", 4)), {}},
        {"totalLength larger than the block", ListBytes(1000, std::string("C:\\\0D:\\x\0", 9)),
         {"C:\\", "D:\\x"}},
        {"last entry without NUL", ListBytes(14, std::string("C:\\\0D:\\xyz", 10)), {"C:\\"}},
        {"huge totalLength, no NUL", ListBytes(0xFFFFFFFF, "C:\\abc"), {}},
        {"entry running past totalLength", ListBytes(10, std::string("C:\\\0D:\\xyz\0", 11)),
         {"C:\\"}},
        {"block shorter than totalLength's own bytes", std::vector<uint8_t>{4, 0, 0}, {}},
        {"empty block", std::vector<uint8_t>{}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(WalkExact(c.bytes), c.entries);
    }
}

TEST(FoundList, SearchPatternAndChildPath) {
    struct Case { const char* dir; const char* pattern; const char* child; } cases[] = {
        {"C:\\", "C:\\*.*", "C:\\sub"},
        {"C:\\dir", "C:\\dir\\*.*", "C:\\dir\\sub"},
        {"C:\\dir\\", "C:\\dir\\*.*", "C:\\dir\\sub"},
        {"\\\\srv\\share\\", "\\\\srv\\share\\*.*", "\\\\srv\\share\\sub"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dir);
        char out[260];
        EXPECT_EQ(SearchPattern(c.dir, out, sizeof out), strlen(c.pattern));
        EXPECT_STREQ(out, c.pattern);
        EXPECT_EQ(ChildPath(c.dir, "sub", out, sizeof out), strlen(c.child));
        EXPECT_STREQ(out, c.child);
    }
}

// Patterns and child paths that would pass 259 characters give 0 and stay
// inside the buffer.
TEST(FoundList, PathsAtTheLimit) {
    for (size_t length = 250; length <= 259; ++length) {
        for (int trailing = 0; trailing < 2; ++trailing) {
            std::string dir = "C:\\" + std::string(length - 3 - trailing, 'd') +
                              (trailing ? "\\" : "");
            std::string sep = trailing ? "" : "\\";
            SCOPED_TRACE(testing::Message() << length << " " << trailing);
            char out[260 + 16];
            memset(out, 0x5A, sizeof out);
            std::string pattern = dir + sep + "*.*";
            size_t got = SearchPattern(dir.c_str(), out, 260);
            EXPECT_EQ(got, pattern.size() <= 259 ? pattern.size() : 0u);
            if (got) EXPECT_EQ(std::string(out), pattern);
            std::string child = dir + sep + "sub";
            got = ChildPath(dir.c_str(), "sub", out, 260);
            EXPECT_EQ(got, child.size() <= 259 ? child.size() : 0u);
            if (got) EXPECT_EQ(std::string(out), child);
            for (size_t i = 260; i < sizeof out; ++i) ASSERT_EQ(out[i], 0x5A);
        }
    }
    std::string dir259 = "C:\\" + std::string(256, 'd');
    char out[260];
    EXPECT_EQ(SearchPattern(dir259.c_str(), out, sizeof out), 0u);
    EXPECT_EQ(ChildPath(dir259.c_str(), "x", out, sizeof out), 0u);
}

TEST(FoundList, DotEntries) {
    struct Case { const char* name; int dot; } cases[] = {
        {".", 1}, {"..", 1}, {"...", 0}, {".x", 0}, {"x.", 0}, {"", 0}, {"tovarin.exe", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(IsDotEntry(c.name), c.dot) << c.name;
}

}  // namespace
