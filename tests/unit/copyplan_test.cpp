// The arithmetic and the rules of copying: blocks, progress, disks, which
// file a listed name installs, settings files and the document template.
#include <gtest/gtest.h>

#include <cstring>
#include <strings.h>
#include <vector>

#include "install/copyplan.h"

namespace {

std::vector<uint32_t> Blocks(uint32_t size)
{
    std::vector<uint32_t> blocks;
    uint32_t written = 0;
    do {
        uint32_t block = NextBlockBytes(size, written);
        blocks.push_back(block);
        written += block;
    } while (written < size);
    return blocks;
}

int SameIgnoringCase(const char* a, const char* b)
{
    return strcasecmp(a, b) == 0;
}

CatalogueEntry Entry(const char* source, uint32_t mask, uint32_t copied = 0)
{
    CatalogueEntry e = {};
    std::strcpy(e.sourceName, source);
    e.componentMask = mask;
    e.copied = copied;
    return e;
}

}  // namespace

TEST(CopyPlan, BlocksOfAFile)
{
    EXPECT_EQ(Blocks(250000), (std::vector<uint32_t>{100000, 100000, 50000}));
    EXPECT_EQ(Blocks(100000), (std::vector<uint32_t>{100000}));
    EXPECT_EQ(Blocks(200001), (std::vector<uint32_t>{100000, 100000, 1}));
    // An empty file still runs the loop once, with a block of 0.
    EXPECT_EQ(Blocks(0), (std::vector<uint32_t>{0}));
}

TEST(CopyPlan, ProgressPercentAndBar)
{
    const struct {
        uint32_t copied, total, percent;
    } cases[] = {
        {2550, 10000, 25},
        {0, 10000, 0},
        {10000, 10000, 100},
        {25000, 10000, 100},          // retried files may overshoot: held at 100
        {0xFFFFFFFFu, 100, 100},
        {5, 10, 50},                  // under 100 bytes: whole percent of the total
        {0, 0, 100},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.copied << "/" << c.total);
        EXPECT_EQ(ProgressPercent(c.copied, c.total), c.percent);
    }
    EXPECT_EQ(ProgressBarEnd(200, 25), 50);
    EXPECT_EQ(ProgressBarEnd(200, 0), 0);
    EXPECT_EQ(ProgressBarEnd(29, 100), 29) << "a full bar reaches the right edge";
    for (int right = 0; right < 1000; ++right)
        ASSERT_EQ(ProgressBarEnd(right, 100), right);
}

TEST(CopyPlan, DiskCounter)
{
    DiskCounter disks = StartDiskCounter();
    EXPECT_EQ(disks.diskNumber, 1u);
    NoteFileExpanded(&disks);
    NoteFileExpanded(&disks);
    EXPECT_EQ(disks.diskNumber, 2u) << "disk 2 is asked for after disk 1";
    NoteDiskConfirmed(&disks);
    EXPECT_EQ(disks.diskNumber, 2u) << "a pass that expands nothing asks for the same disk";
    NoteDiskConfirmed(&disks);
    NoteFileExpanded(&disks);
    EXPECT_EQ(disks.diskNumber, 3u);
}

TEST(CopyPlan, SettingsFilesAndTheTemplate)
{
    const struct {
        const char* target;
        uint32_t keep;
        int exists;
        int expand;
    } cases[] = {
        {"C:\\tovarin\\tovarin.tvs", 1, 1, 0},
        {"C:\\tovarin\\TOVARIN.TVS", 1, 1, 0},
        {"C:\\tovarin\\tovarin.tvs", 0, 1, 1},
        {"C:\\tovarin\\tovarin.tvs", 1, 0, 1},   // nothing to keep in a fresh directory
        {"C:\\tovarin\\tovarin.tvs", 0, 0, 1},
        {"C:\\tovarin\\tovarin.tvs.bak", 1, 1, 1},
        {"C:\\tovarin.tvs\\readme", 1, 1, 1},
        {"C:\\tovarin\\readme", 1, 1, 1},
        {"C:\\tovarin\\a.tvsx", 1, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(ShouldExpandTarget(c.target, c.keep, c.exists), c.expand) << c.keep << c.exists;
    }
    EXPECT_TRUE(IsShellNewTemplate("C:\\tovarin\\default.tvd"));
    EXPECT_TRUE(IsShellNewTemplate("C:\\tovarin\\sub\\DEFAULT.TVD"));
    EXPECT_TRUE(IsShellNewTemplate("default.tvd"));
    EXPECT_FALSE(IsShellNewTemplate("C:\\tovarin\\default.tvd.old"));
    EXPECT_FALSE(IsShellNewTemplate("C:\\default.tvd\\x"));
    EXPECT_FALSE(IsShellNewTemplate("C:\\tovarin\\mydefault.tvd"));
}

TEST(CopyPlan, MatchingListedNames)
{
    std::vector<CatalogueEntry> e = {
        Entry("TOVARIN.EX_", 0x1),
        Entry("shared.dat", 0x2, 1),   // already copied
        Entry("shared.dat", 0x4),
        Entry("shared.dat", 0x8),
        Entry("fonts.tt_", 0x100),
        Entry("none.dat", 0),          // no component: never installed
    };
    const struct {
        const char* name;
        uint32_t mask;
        int32_t index;
    } cases[] = {
        {"tovarin.ex_", 0xFFFFF, 0},
        {"Tovarin.Ex_", 0x1, 0},
        {"shared.dat", 0xFFFFF, 2},    // the first not yet copied
        {"shared.dat", 0x8 | 0x1, 3},  // the first that the mask includes
        {"fonts.tt_", 0xFFFFF & ~0x3FF00u, -1},
        {"none.dat", 0xFFFFFFFFu, -1},
        {"other.dat", 0xFFFFF, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MatchCatalogueEntry(e.data(), static_cast<uint32_t>(e.size()), c.name, c.mask,
                                      SameIgnoringCase),
                  c.index);
    }
}

TEST(CopyPlan, AnswersToTheFailedFileBox)
{
    const struct {
        int answer;
        FailedFileStep step;
    } cases[] = {
        {1, kRetryFile}, {2, kIgnoreFile}, {3, kAbortCopy},
        {0, kRetryFile}, {4, kRetryFile}, {-1, kRetryFile},   // anything else tries again
    };
    for (const auto& c : cases)
        EXPECT_EQ(StepAfterFailedFile(c.answer), c.step) << c.answer;
}

// The run is complete when every entry of the selection is copied: the
// catalogue header's total plays no part.
TEST(CopyPlan, RunCompleteWhenEverySelectedEntryIsCopied)
{
    std::vector<CatalogueEntry> e = {
        Entry("base.dat", 0x1, 1),
        Entry("main.dat", 0x2),
        Entry("opt.dat", 0x100),
        Entry("none.dat", 0),        // no component: never installed, never waited for
        Entry("multi.dat", 0x4 | 0x8, 1),
    };
    const uint32_t n = static_cast<uint32_t>(e.size());
    const struct {
        uint32_t mask;
        int complete;
    } cases[] = {
        {0x1, 1}, {0x1 | 0x8, 1}, {0x1 | 0x2, 0}, {0x100, 0}, {0xFFFFF & ~0x3FF00u & ~0x2u, 1},
        {0, 1}, {0xFFFFFFFFu, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AllSelectedCopied(e.data(), n, c.mask), c.complete) << std::hex << c.mask;
    e[1].copied = 1;
    e[2].copied = 1;
    EXPECT_EQ(AllSelectedCopied(e.data(), n, 0xFFFFFFFFu), 1);
    EXPECT_EQ(AllSelectedCopied(e.data(), 0, 0xFFFFF), 1);
}
