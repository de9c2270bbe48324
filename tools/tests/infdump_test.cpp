// infdump: the checks of a catalogue, and the tool's output and status.
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "catalogue/catfile.h"
#include "tools/infdump/infcheck.h"
#include "tools/tests/testutil.h"

namespace {

Bytes GoodCatalogue()
{
    const CatalogueRecord records[] = {
        {"tovarin.ex_", "tovarin.exe", 0x1, 20000},
        {"guide.hl_", "GUIDE\\guide.hlp", 0x10, 50000},
        {"photo.jpg", "PHOTOS\\photo.jpg", 0x1000, 7000},
    };
    Bytes b(CatalogueFileBytes(3));
    EXPECT_EQ(b.size(), EncodeCatalogue(records, 3, b.data(), b.size()));
    return b;
}

uint8_t* Entry(Bytes* b, int i)
{
    return b->data() + 16 + 792 * i;
}

TEST(InfCheck, AcceptsASoundCatalogueAndTotalsItsComponents)
{
    Bytes b = GoodCatalogue();
    InfReport r;
    ASSERT_EQ(1, CheckCatalogue(b.data(), b.size(), &r));
    EXPECT_TRUE(r.problems.empty());
    EXPECT_EQ(77000u, r.sizeSum);
    EXPECT_EQ(20000u, r.componentTotals[0]);
    EXPECT_EQ(50000u, r.componentTotals[4]);
    EXPECT_EQ(7000u, r.componentTotals[12]);
    EXPECT_STREQ("guide.hl_", r.entries[1].sourceName);
}

TEST(InfCheck, NamesEachProblem)
{
    struct Case {
        const char* name;
        void (*damage)(Bytes*);
        int readable;
        const char* problem;
    };
    const Case cases[] = {
        {"short file", [](Bytes* b) { b->resize(10); }, 0, "too short for the 16-byte header"},
        {"signature", [](Bytes* b) { WriteLE32(b->data(), 0x200); }, 0, "bad signature 0x200"},
        {"no entries", [](Bytes* b) { WriteLE32(b->data() + 4, 0); }, 0, "entry count is 0"},
        {"count too large", [](Bytes* b) { WriteLE32(b->data() + 4, 4); }, 0, "announces 4 entries"},
        {"truncated entry", [](Bytes* b) { b->resize(b->size() - 1); }, 0, "2 whole entries"},
        {"total", [](Bytes* b) { WriteLE32(b->data() + 8, 76999); }, 1,
         "header total 76999 differs from the sum of the sizes 77000"},
        {"source not terminated", [](Bytes* b) { memset(Entry(b, 1), 'a', 260); }, 1,
         "entry 1: source name not terminated"},
        {"target not terminated", [](Bytes* b) { memset(Entry(b, 2) + 260, 'a', 260); }, 1,
         "entry 2: target path not terminated"},
        {"two bits", [](Bytes* b) { WriteLE32(Entry(b, 0) + 780, 0x11); }, 1,
         "entry 0: component mask 0x11 is not one"},
        {"no bit", [](Bytes* b) { WriteLE32(Entry(b, 0) + 780, 0); }, 1, "component mask 0x0"},
        {"bit 18", [](Bytes* b) { WriteLE32(Entry(b, 2) + 780, 0x40000); }, 1, "component mask 0x40000"},
        {"source with a directory", [](Bytes* b) { memcpy(Entry(b, 0), "a\\b.ex_", 8); }, 1,
         "is not a bare file name"},
        {"target with ..", [](Bytes* b) { memcpy(Entry(b, 0) + 260, "..\\x.exe", 9); }, 1,
         "leaves the destination"},
        {"absolute target", [](Bytes* b) { memcpy(Entry(b, 0) + 260, "\\x.exe", 7); }, 1,
         "starts with a backslash"},
        {"target with a forward slash", [](Bytes* b) { memcpy(Entry(b, 0) + 260, "a/x.exe", 8); }, 1,
         "forward slash"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = GoodCatalogue();
        c.damage(&b);
        InfReport r;
        EXPECT_EQ(c.readable, CheckCatalogue(b.data(), b.size(), &r));
        ASSERT_FALSE(r.problems.empty());
        EXPECT_NE(std::string::npos, r.problems[0].find(c.problem)) << r.problems[0];
    }
}

TEST(InfCheck, NotesWhatIsOddButAllowed)
{
    Bytes b = GoodCatalogue();
    memcpy(Entry(&b, 2), "GUIDE.HL_", 10);
    b.push_back(0);
    InfReport r;
    ASSERT_EQ(1, CheckCatalogue(b.data(), b.size(), &r));
    EXPECT_TRUE(r.problems.empty());
    ASSERT_EQ(2u, r.notes.size());
    EXPECT_NE(std::string::npos, r.notes[0].find("1 bytes after the last entry"));
    EXPECT_NE(std::string::npos, r.notes[1].find("also belongs to entry 1"));
}

TEST(InfdumpTool, PrintsTheTableAndFailsOnProblems)
{
    std::string dir = ScratchDir();
    Bytes good = GoodCatalogue();
    WriteBytes(dir + "/good.inf", good);
    RunResult r = RunTool("infdump", {dir + "/good.inf"});
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("3 entries, header total 77000 bytes"));
    EXPECT_NE(std::string::npos, r.out.find("PHOTOS\\photo.jpg"));
    EXPECT_NE(std::string::npos, r.out.find("Photo samples"));
    EXPECT_TRUE(r.err.empty());

    WriteLE32(good.data() + 8, 1);
    WriteLE32(Entry(&good, 0) + 780, 3);
    WriteBytes(dir + "/bad.inf", good);
    r = RunTool("infdump", {dir + "/bad.inf"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find(dir + "/bad.inf: entry 0: component mask 0x3"));
    EXPECT_NE(std::string::npos, r.err.find(dir + "/bad.inf: header total 1 differs"));

    r = RunTool("infdump", {dir + "/none.inf"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find(dir + "/none.inf: No such file"));
}

}  // namespace
