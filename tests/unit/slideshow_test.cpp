// The billboard thresholds and the order in which the show moves on.
#include <gtest/gtest.h>

#include <vector>

#include "shell/slideshow.h"

namespace {

struct Shown {
    int index;
    int onLeft;
};

// Starts a show as the copy engine does and feeds it blocks, recording every
// billboard that comes on.  The show advances at most once per block.
std::vector<Shown> RunShow(uint32_t grandTotal, const std::vector<uint32_t>& blocks)
{
    BillboardTableRecord table = kInitialBillboardTable;
    PrepareBillboardThresholds(&table, grandTotal);
    table.currentBillboard = 0;
    table.billboardOnLeft = 1;
    std::vector<Shown> shown = {{0, 1}};
    uint32_t copied = 0;
    for (uint32_t block : blocks) {
        copied += block;
        int k = BillboardStep(&table, copied);
        if (k != 0) {
            MoveBillboard(&table, k);
            shown.push_back({table.currentBillboard, table.billboardOnLeft});
        }
    }
    return shown;
}

std::vector<uint32_t> Thresholds(uint32_t grandTotal)
{
    BillboardTableRecord table = kInitialBillboardTable;
    PrepareBillboardThresholds(&table, grandTotal);
    std::vector<uint32_t> t;
    for (const BillboardEntry& e : table.entries)
        t.push_back(e.threshold);
    return t;
}

}  // namespace

TEST(Slideshow, InitialTable)
{
    const BillboardTableRecord& t = kInitialBillboardTable;
    EXPECT_EQ(t.currentBillboard, kNoBillboard);
    EXPECT_EQ(t.billboardOnLeft, 0);
    for (int i = 0; i < kBillboardCount; ++i) {
        EXPECT_EQ(t.entries[i].bitmapId, 5 + i);
        EXPECT_EQ(t.entries[i].percent, 20);
        EXPECT_EQ(t.entries[i].threshold, 0u);
    }
}

TEST(Slideshow, Thresholds)
{
    const struct {
        uint32_t total;
        std::vector<uint32_t> thresholds;
    } cases[] = {
        {20000000, {4000000, 4000000, 4000000, 4000000, 4000000}},
        {5000000, {2500000, 0, 0, 0, 2500000}},
        // 9,999,998 rounds to a share of 2,000,000; 9,999,997 to 1,999,999.
        {9999998, {2000000, 2000000, 2000000, 2000000, 2000000}},
        {9999997, {4999998, 0, 0, 0, 4999998}},
        {1, {0, 0, 0, 0, 0}},
        {0, {0, 0, 0, 0, 0}},
        // Shares are formed without overflow for the largest totals.
        {0xFFFFFFFFu, {858993459, 858993459, 858993459, 858993459, 858993459}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.total);
        EXPECT_EQ(Thresholds(c.total), c.thresholds);
    }
}

TEST(Slideshow, ShortMiddleShareGoesToTheEntryBefore)
{
    BillboardTableRecord table = kInitialBillboardTable;
    table.entries[0].percent = 40;
    table.entries[1].percent = 5;   // short: joins entry 0
    table.entries[2].percent = 5;   // short: joins entry 1, though that is 0 by now
    table.entries[3].percent = 25;
    table.entries[4].percent = 25;
    PrepareBillboardThresholds(&table, 20000000);
    EXPECT_EQ(table.entries[0].threshold, 9000000u);
    EXPECT_EQ(table.entries[1].threshold, 1000000u);
    EXPECT_EQ(table.entries[2].threshold, 0u);
    EXPECT_EQ(table.entries[3].threshold, 5000000u);
    EXPECT_EQ(table.entries[4].threshold, 5000000u);
}

TEST(Slideshow, TwentyMillionBytesShowsAllFiveAlternating)
{
    // Exactly 4,000,000 does not switch; 4,000,001 does.
    std::vector<Shown> shown = RunShow(20000000, {4000000, 1, 3999999, 1, 4000000, 4000000, 4000000});
    ASSERT_EQ(shown.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(shown[i].index, i);
        EXPECT_EQ(shown[i].onLeft, i % 2 == 0 ? 1 : 0);
    }
}

TEST(Slideshow, FiveMillionBytesShowsFirstAndLast)
{
    std::vector<Shown> shown = RunShow(5000000, {2500000, 1, 2499999, 100});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].index, 4);
    EXPECT_EQ(shown[1].onLeft, 0);
}

TEST(Slideshow, OneBlockPastTwoThresholdsSwitchesOnceAtATime)
{
    std::vector<Shown> shown = RunShow(20000000, {8500000});
    EXPECT_EQ(shown.size(), 2u);
    shown = RunShow(20000000, {8500000, 1});
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].index, 2);
}

TEST(Slideshow, LastBillboardStaysAndTheScanNeverPassesIt)
{
    // A total under 2 bytes leaves every threshold 0: the show must still
    // stop at the last entry.
    std::vector<Shown> shown = RunShow(1, {1, 1, 1, 1, 1, 1});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].index, 4);

    BillboardTableRecord table = kInitialBillboardTable;
    EXPECT_EQ(BillboardStep(&table, 0xFFFFFFFFu), 0) << "nothing on show";
    table.currentBillboard = 4;
    EXPECT_EQ(BillboardStep(&table, 0xFFFFFFFFu), 0);
}

TEST(Slideshow, Frames)
{
    FrameBox left = BillboardFrame(1, 230, 280, 916);
    EXPECT_EQ(left.left, 15);
    EXPECT_EQ(left.top, 45);
    EXPECT_EQ(left.right, 255);
    EXPECT_EQ(left.bottom, 335);
    FrameBox right = BillboardFrame(0, 230, 280, 916);
    EXPECT_EQ(right.left, 916 - 230 - 20 - 5);
    EXPECT_EQ(right.right, 916 - 20 + 5);
    // A narrow backdrop puts a right-hand billboard left of the client area.
    EXPECT_LT(BillboardFrame(0, 230, 280, 100).left, 0);
}
