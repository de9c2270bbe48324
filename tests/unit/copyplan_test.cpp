// The arithmetic and the rules of copying: blocks, progress, disks, which
// file a listed name installs, settings files and the document template.
#include <gtest/gtest.h>

#include <cstring>
#include <strings.h>
#include <vector>

#include "base/blockcopy.h"
#include "install/copyplan.h"
#include "base/widediv.h"
#include "shell/answers.h"
#include "shell/runreport.h"
#include "resources/resource.h"

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

namespace {

// A source of a known pattern whose reads fail as a table says: a read
// numbered in failAt gives LZERROR_READ after moving on by half of what it
// was asked for, as a floppy read that breaks off in the middle would.
struct FakeSource {
    std::vector<uint8_t> data;
    size_t position = 0;
    int reads = 0;
    std::vector<int> failAt;      // read numbers (from 1) that fail
    int32_t shortAt = 0;          // a read number that delivers one byte less
    int seeks = 0;
    bool seekWorks = true;
};

int32_t FakeRead(void* context, uint8_t* buffer, uint32_t bytes)
{
    FakeSource* s = static_cast<FakeSource*>(context);
    ++s->reads;
    for (int n : s->failAt) {
        if (n == s->reads) {
            s->position += bytes / 2;
            return kSourceReadAgain;
        }
    }
    size_t n = std::min<size_t>(bytes, s->data.size() - std::min(s->position, s->data.size()));
    if (s->reads == s->shortAt && n > 0)
        --n;
    if (n > 0)
        std::memcpy(buffer, s->data.data() + s->position, n);
    s->position += n;
    return static_cast<int32_t>(n);
}

int FakeSeek(void* context, uint32_t offset)
{
    FakeSource* s = static_cast<FakeSource*>(context);
    ++s->seeks;
    if (!s->seekWorks)
        return 0;
    s->position = offset;
    return 1;
}

struct FakeSink {
    std::vector<uint8_t> written;
    size_t room = SIZE_MAX;       // a disk that fills up
    std::vector<uint32_t> progress;
};

int FakeWrite(void* context, const uint8_t* data, uint32_t bytes)
{
    FakeSink* s = static_cast<FakeSink*>(context);
    if (s->written.size() + bytes > s->room)
        return 0;
    s->written.insert(s->written.end(), data, data + bytes);
    return 1;
}

void FakeProgress(void* context, uint32_t bytes)
{
    static_cast<FakeSink*>(context)->progress.push_back(bytes);
}

}  // namespace

// Every file Setup writes goes through this loop: a read that the medium
// failed is made again from where its block began, a damaged or short
// source and a full disk fail the file, and the file gets exactly its size.
TEST(BlockCopy, ReadsAgainFromTheBlockStartAndFailsWhatCannotBeWhole)
{
    const struct {
        const char* name;
        uint32_t size;
        std::vector<int> failAt;
        int32_t shortAt;
        bool seekWorks;
        size_t room;
        int result;
        int seeks;
    } cases[] = {
        {"clean", 250000, {}, 0, true, SIZE_MAX, kBlocksCopied, 0},
        {"empty file", 0, {}, 0, true, SIZE_MAX, kBlocksCopied, 0},
        {"one failed read, then whole", 250000, {2}, 0, true, SIZE_MAX, kBlocksCopied, 1},
        {"a failure in every block", 250000, {1, 3, 5}, 0, true, SIZE_MAX, kBlocksCopied, 3},
        {"two failures of one block", 250000, {2, 3}, 0, true, SIZE_MAX, kBlocksCopied, 2},
        {"a block that keeps failing", 250000, {2, 3, 4}, 0, true, SIZE_MAX, kBlocksSourceFailed, 2},
        {"no way back", 250000, {2}, 0, false, SIZE_MAX, kBlocksSourceFailed, 1},
        {"cut short", 250000, {}, 3, true, SIZE_MAX, kBlocksSourceFailed, 0},
        {"full disk", 250000, {}, 0, true, 150000, kBlocksWriteFailed, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSource source;
        for (uint32_t i = 0; i < c.size; ++i)
            source.data.push_back(static_cast<uint8_t>(i * 7 + i / 251));
        source.failAt = c.failAt;
        source.shortAt = c.shortAt;
        source.seekWorks = c.seekWorks;
        FakeSink sink;
        sink.room = c.room;
        BlockSource reader = {FakeRead, FakeSeek, &source};
        BlockSink writer = {FakeWrite, FakeProgress, &sink};
        std::vector<uint8_t> buffer(kCopyBlockBytes);
        EXPECT_EQ(CopyBlocks(&reader, &writer, c.size, buffer.data()), c.result);
        EXPECT_EQ(source.seeks, c.seeks);
        if (c.result == kBlocksCopied) {
            EXPECT_TRUE(sink.written == source.data) << "the written bytes differ from the source";
            EXPECT_EQ(sink.progress, Blocks(c.size));
        }
    }
}

// A box that ended without one of its buttons (-1 when it could not be
// created, 0 from a dialog manager that gave up) never reads as retry or
// go on.
TEST(MessageAnswers, ResultsThatAreNoButtonTakeTheAnswerThatStops)
{
    const struct {
        int n, result, answer;
    } cases[] = {
        {MSG_KEEP_SETTINGS, -1, ANSWER_KEEP_SETTINGS},
        {MSG_KEEP_SETTINGS, 2, 2},
        {MSG_CONFIRM_CANCEL, -1, 2},
        {MSG_CONFIRM_CANCEL, 0, 2},
        {MSG_CONFIRM_CANCEL, 1, ANSWER_CANCEL_SETUP},
        {MSG_CREATE_DIR, -1, 2},
        {MSG_CREATE_DIR, 3, 2},
        {MSG_LOW_DISK_SPACE, -1, ANSWER_CHANGE_SELECTION},
        {MSG_LOW_DISK_SPACE, 3, ANSWER_CANCEL_LOW_SPACE},
        {MSG_INSERT_DISK, -1, ANSWER_CANCEL_DISK},
        {MSG_INSERT_DISK, 0, ANSWER_CANCEL_DISK},
        {MSG_INSERT_DISK, 1, 1},
        {MSG_EXPAND_FAILED, -1, ANSWER_ABORT_COPY},
        {MSG_EXPAND_FAILED, 0, ANSWER_ABORT_COPY},
        {MSG_EXPAND_FAILED, 0xFFFF, ANSWER_ABORT_COPY},
        {MSG_EXPAND_FAILED, 1, 1},
        {MSG_COPY_FAILED, -1, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MessageAnswer(c.n, c.result), c.answer) << "box " << c.n << ", result " << c.result;
}

TEST(RunReport, IgnoredFilesAreCountedAlsoWhenTheListIsFull)
{
    RunReport report = {};
    std::string longName(200, 'x');
    for (int i = 0; i < 20; ++i)
        NoteIgnoredFile(&report, (longName + std::to_string(i)).c_str());
    EXPECT_EQ(report.ignoredCount, 20u);
    EXPECT_EQ(report.undone & kUndoneFiles, static_cast<uint32_t>(kUndoneFiles));
    ASSERT_GT(report.ignoredListed, 0u);
    EXPECT_LT(report.ignoredListed, 20u);
    EXPECT_EQ(std::string(IgnoredFile(&report, 0)), longName + "0");
    EXPECT_EQ(std::string(IgnoredFile(&report, report.ignoredListed - 1)),
              longName + std::to_string(report.ignoredListed - 1));
    EXPECT_EQ(IgnoredFile(&report, report.ignoredListed), nullptr);
}

// The 32-bit programs divide 64-bit numbers with this loop instead of
// libgcc's: it must give the compiler's own quotient, at the edges too
// (a divisor above 2^63, whose remainder passes 2^64 on the way).
TEST(WideDivision, MatchesTheCompilersQuotient)
{
    const uint64_t top = UINT64_C(0xFFFFFFFFFFFFFFFF);
    const uint64_t half = UINT64_C(0x8000000000000000);
    const struct {
        uint64_t n, d;
    } cases[] = {
        {0, 1},          {1, 1},         {99, 100},        {100, 100},       {12345678, 1},
        {top, 1},        {top, 2},       {top, 3},         {top, top},       {top - 1, top},
        {top, half},     {top, half + 1}, {half, half + 1}, {half + 5, half + 1},
        {UINT64_C(4294967296) * 100 + 7, 100}, {UINT64_C(0x123456789ABCDEF0), 0xFFFFFFFF},
        {UINT64_C(0x123456789ABCDEF0), UINT64_C(0x100000000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << " / " << c.d);
        EXPECT_EQ(DivideWide(c.n, c.d), c.n / c.d);
        int64_t sn = static_cast<int64_t>(c.n >> 1), sd = static_cast<int64_t>((c.d >> 1) | 1);
        EXPECT_EQ(DivideWideSigned(sn, sd), sn / sd);
        EXPECT_EQ(DivideWideSigned(-sn, sd), -sn / sd);
        EXPECT_EQ(DivideWideSigned(sn, -sd), sn / -sd);
        EXPECT_EQ(DivideWideSigned(-sn, -sd), -sn / -sd);
    }
}
