// The catalogue reader against in-memory files: round trips through the
// writer, every way a read can fail and what it leaves behind, and files cut
// at every byte.  The table comes from calloc with the exact size asked for,
// so AddressSanitizer catches any write or read past it.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <random>
#include <string>
#include <vector>

#include "catalogue/catfile.h"
#include "catalogue/names.h"

namespace {

typedef std::vector<uint8_t> Bytes;

struct MemoryFile {
    const uint8_t* data;
    size_t size;
    size_t pos;
    size_t furthest;   // the highest offset ever asked for
};

int ReadMemory(void* context, void* buffer, uint32_t n) {
    MemoryFile* file = static_cast<MemoryFile*>(context);
    if (file->pos + n > file->furthest) file->furthest = file->pos + n;
    if (n > file->size - file->pos) return 0;
    memcpy(buffer, file->data + file->pos, n);
    file->pos += n;
    return 1;
}

struct Heap {
    int allocations = 0;
    int releases = 0;
    size_t lastBytes = 0;
    void* lastBlock = nullptr;
    bool refuse = false;
};

void* Allocate(void* context, size_t bytes) {
    Heap* heap = static_cast<Heap*>(context);
    heap->allocations++;
    heap->lastBytes = bytes;
    heap->lastBlock = heap->refuse ? nullptr : calloc(1, bytes);
    return heap->lastBlock;
}

void Release(void* context, void* block) {
    Heap* heap = static_cast<Heap*>(context);
    heap->releases++;
    EXPECT_EQ(block, heap->lastBlock);
    free(block);
}

// One read of a byte image; fileBytes may claim more than the image holds to
// stand for a file whose read fails part way.
struct Reading {
    Heap heap;
    MemoryFile file = {};
    CatalogueEntry* entries = nullptr;
    InstallOptions options;
    InstallOptions before;
    int result = 0;

    Reading(const Bytes& image, uint64_t fileBytes) {
        memset(&options, 0xCD, sizeof options);   // stale values a read must clear
        before = options;
        file.data = image.data();
        file.size = image.size();
        CatalogueSource source = {ReadMemory, &file, fileBytes};
        CatalogueMemory memory = {Allocate, Release, &heap};
        entries = reinterpret_cast<CatalogueEntry*>(0x1);   // must be overwritten
        result = ReadCatalogue(&source, &memory, &entries, &options);
    }
    explicit Reading(const Bytes& image) : Reading(image, image.size()) {}
    ~Reading() {
        if (result == kCatalogueOk) free(entries);
    }
    bool OptionsUntouched() const { return memcmp(&options, &before, sizeof options) == 0; }
};

Bytes Encode(const std::vector<CatalogueRecord>& records) {
    Bytes image(CatalogueFileBytes(static_cast<uint32_t>(records.size())));
    uint64_t written = EncodeCatalogue(records.data(), static_cast<uint32_t>(records.size()),
                                       image.data(), image.size());
    EXPECT_EQ(written, image.size());
    return image;
}

Bytes ThreeEntries() {
    return Encode({{"tovarin.ex_", "tovarin.exe", 0x1, 700000},
                   {"readme.wr_", "readme.wri", 0x4, 12000},
                   {"guide.hl_", "help\\guide.hlp", 0x10, 90000}});
}

uint8_t* EntryAt(Bytes& image, uint32_t i) { return image.data() + 16 + 792 * i; }

// Index of a component mask, as the component table gives it.
int ExpectedIndex(uint32_t mask) {
    for (int k = 1; k < 18; ++k)
        if (mask == (1u << k)) return k;
    return 0;
}

void ExpectClearedAfterEntryFailure(const Reading& run) {
    EXPECT_EQ(run.result, kCatalogueInvalid);
    EXPECT_EQ(run.entries, nullptr);
    EXPECT_EQ(run.heap.allocations, 1);
    EXPECT_EQ(run.heap.releases, 1);
    EXPECT_EQ(run.options.destDir[0], '\0');
    EXPECT_EQ(run.options.requiredBytes, 0u);
    EXPECT_EQ(run.options.fileCount, 0u);
    EXPECT_EQ(run.options.selectedMask, 0u);
    EXPECT_EQ(run.options.foundList, nullptr);
    EXPECT_EQ(run.options.optionalGroupOn, 0u);
    EXPECT_EQ(run.options.keepSettings, 0u);
}

TEST(Catalogue, RoundTripOfRandomCatalogues) {
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        uint32_t count = 1 + rng() % 12;
        std::vector<std::string> names, targets;
        std::vector<CatalogueRecord> records;
        for (uint32_t i = 0; i < count; ++i) {
            names.push_back("f" + std::to_string(rng() % 1000) + ".dl_");
            targets.push_back(std::string(rng() % 200 + 1, 'd') + "\\f.dll");
        }
        static const uint32_t masks[] = {0x1, 0x2, 0x80, 0x100, 0x20000, 0x6, 0, 0x40000, 0x80000000};
        uint32_t sum = 0;
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t size = rng() % 5000000;
            sum += size;
            records.push_back({names[i].c_str(), targets[i].c_str(), masks[rng() % 9], size});
        }
        Bytes image = Encode(records);
        Reading run(image);
        ASSERT_EQ(run.result, kCatalogueOk);
        ASSERT_NE(run.entries, nullptr);
        EXPECT_GE(run.heap.lastBytes, count * sizeof(CatalogueEntry));
        uint32_t expected[18] = {};
        for (uint32_t i = 0; i < count; ++i) {
            const CatalogueEntry& e = run.entries[i];
            EXPECT_STREQ(e.sourceName, records[i].sourceName);
            EXPECT_STREQ(e.targetPath, records[i].targetPath);
            EXPECT_EQ(e.componentMask, records[i].componentMask);
            EXPECT_EQ(e.size, records[i].size);
            EXPECT_EQ(e.copied, 0u);
            expected[ExpectedIndex(records[i].componentMask)] += records[i].size;
        }
        for (int k = 0; k < 18; ++k) EXPECT_EQ(run.options.componentBytes[k], expected[k]) << k;
        EXPECT_EQ(run.options.requiredBytes, sum);
        EXPECT_EQ(run.options.fileCount, count);
    }
}

TEST(Catalogue, SuccessSeedsTheWholeRecord) {
    Bytes image = ThreeEntries();
    Reading run(image);
    ASSERT_EQ(run.result, kCatalogueOk);
    EXPECT_EQ(run.heap.allocations, 1);
    EXPECT_EQ(run.heap.releases, 0);   // the caller owns the table now
    EXPECT_EQ(run.entries, run.heap.lastBlock);
    const InstallOptions& o = run.options;
    EXPECT_EQ(o.destDir[0], '\0');
    EXPECT_EQ(o.selectedMask, 0xFFFFFu);
    EXPECT_EQ(o.optionalGroupOn, 1u);
    EXPECT_EQ(o.fileCount, 3u);
    EXPECT_EQ(o.requiredBytes, 802000u);
    EXPECT_EQ(o.keepSettings, 0u);
    EXPECT_EQ(o.foundList, nullptr);
    uint32_t expected[18] = {};
    expected[0] = 700000;
    expected[2] = 12000;
    expected[4] = 90000;
    for (int k = 0; k < 18; ++k) EXPECT_EQ(o.componentBytes[k], expected[k]) << k;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(run.entries[i].copied, 0u);
}

TEST(Catalogue, EntriesKeepEveryFileByteAsRead) {
    Bytes image = ThreeEntries();
    WriteLE32(image.data() + 12, 0xDEADBEEF);             // header reserved
    for (uint32_t i = 0; i < 3; ++i) {
        uint8_t* e = EntryAt(image, i);
        memset(e + 520, 'R' + i, 260);                     // reservedText, no NUL
        memset(e + 20, 0x7E, 240);                         // bytes after sourceName's NUL
        WriteLE32(e + 788, 0xA5A50000u + i);               // reservedValue
    }
    Reading run(image);
    ASSERT_EQ(run.result, kCatalogueOk);
    for (uint32_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(memcmp(&run.entries[i], EntryAt(image, i), 792), 0);
        EXPECT_EQ(run.entries[i].reservedValue, 0xA5A50000u + i);
        EXPECT_EQ(run.entries[i].copied, 0u);
    }
}

TEST(Catalogue, MasksThatAreNotOneComponentCountUnderIndexZero) {
    struct Case { uint32_t mask; int index; } cases[] = {
        {0x1, 0}, {0x0, 0}, {0x6, 0}, {0x101, 0}, {0x40000, 0}, {0x80000, 0},
        {0x80000000, 0}, {0xFFFFFFFF, 0}, {0x2, 1}, {0x80, 7}, {0x100, 8}, {0x20000, 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        Bytes image = Encode({{"base.dl_", "base.dll", 0x1, 1000}, {"x.dl_", "x.dll", c.mask, 77}});
        Reading run(image);
        ASSERT_EQ(run.result, kCatalogueOk);
        for (int k = 0; k < 18; ++k) {
            uint32_t want = (k == 0 ? 1000u : 0u) + (k == c.index ? 77u : 0u);
            EXPECT_EQ(run.options.componentBytes[k], want) << k;
        }
    }
}

// The header total starts the run when it is right; a total that does not
// match the entries gives way to their sum, so that deselecting everything
// comes down to 0 and no further.
TEST(Catalogue, HeaderTotalOnlyWhenItMatchesTheEntries) {
    struct Case { uint32_t total, required; } cases[] = {
        {802000, 802000}, {0, 802000}, {1, 802000}, {801999, 802000}, {802001, 802000},
        {5000000, 802000}, {0xFFFFFFFF, 802000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.total);
        Bytes image = ThreeEntries();
        WriteLE32(image.data() + 8, c.total);
        Reading run(image);
        ASSERT_EQ(run.result, kCatalogueOk);
        EXPECT_EQ(run.options.requiredBytes, c.required);
        InstallOptions o = run.options;
        for (uint32_t bit = 0x2; bit <= 0x80; bit <<= 1) {
            ToggleComponent(&o.selectedMask, bit);
            ApplyComponentToggle(&o, bit);
        }
        SwitchOptionalGroup(&o);
        EXPECT_EQ(o.requiredBytes, 700000u);   // the base alone
    }
}

TEST(Catalogue, StartingRequiredBytes) {
    struct Case { uint32_t header; uint64_t sum; uint32_t required; } cases[] = {
        {0, 0, 0}, {7, 7, 7}, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF},
        {8, 7, 7}, {6, 7, 7}, {0, 0x100000000ull, 0xFFFFFFFF}, {5, 0x300000005ull, 0xFFFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StartingRequiredBytes(c.header, c.sum), c.required) << c.header << " " << c.sum;
}

// Sizes that add up past 32 bits stop at 0xFFFFFFFF, in the component totals
// and in the required bytes alike.
TEST(Catalogue, TotalsBeyondFourGigabytesDoNotWrap) {
    // The writer refuses a total over 32 bits: the sizes are raised afterwards.
    Bytes image = Encode({{"a.dl_", "a.dll", 0x2, 0xF0000000}, {"b.dl_", "b.dll", 0x4, 0x0F000000}});
    ASSERT_FALSE(image.empty());
    WriteLE32(EntryAt(image, 1) + 780, 0x2);   // both in one component now
    WriteLE32(EntryAt(image, 1) + 784, 0x20000000);
    Reading run(image);
    ASSERT_EQ(run.result, kCatalogueOk);
    EXPECT_EQ(run.options.componentBytes[1], 0xFFFFFFFFu);
    EXPECT_EQ(run.options.requiredBytes, 0xFFFFFFFFu);
}

TEST(Catalogue, BytesAfterTheLastEntryAreIgnored) {
    Bytes image = ThreeEntries();
    size_t end = image.size();
    image.resize(end + 792 + 5, 0xEE);   // looks like half of a fourth entry
    Reading run(image);
    ASSERT_EQ(run.result, kCatalogueOk);
    EXPECT_EQ(run.options.fileCount, 3u);
    EXPECT_LE(run.file.furthest, end);
}

TEST(Catalogue, RejectedHeadersLeaveOptionsUntouchedAndAllocateNothing) {
    struct Case { const char* what; uint32_t signature; uint32_t count; } cases[] = {
        {"signature 0", 0, 3}, {"signature 255", 255, 3}, {"signature 257", 257, 3},
        {"signature big-endian 256", 0x00010000, 3}, {"signature all ones", 0xFFFFFFFF, 3},
        {"entryCount 0", 256, 0}, {"entryCount one more than the file holds", 256, 4},
        {"entryCount 0x10000", 256, 0x10000}, {"entryCount 0xFFFFFFFF", 256, 0xFFFFFFFF},
        {"entryCount 0x80000000", 256, 0x80000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes image = ThreeEntries();
        WriteLE32(image.data(), c.signature);
        WriteLE32(image.data() + 4, c.count);
        Reading run(image);
        EXPECT_EQ(run.result, kCatalogueInvalid);
        EXPECT_EQ(run.entries, nullptr);
        EXPECT_EQ(run.heap.allocations, 0);
        EXPECT_TRUE(run.OptionsUntouched());
    }
}

TEST(Catalogue, FailedAllocationGivesMinusTwoAndLeavesOptionsUntouched) {
    Bytes image = ThreeEntries();
    Heap heap;
    heap.refuse = true;
    MemoryFile file = {image.data(), image.size(), 0, 0};
    CatalogueSource source = {ReadMemory, &file, image.size()};
    CatalogueMemory memory = {Allocate, Release, &heap};
    InstallOptions options;
    memset(&options, 0x3C, sizeof options);
    InstallOptions before = options;
    CatalogueEntry* entries = reinterpret_cast<CatalogueEntry*>(0x1);
    EXPECT_EQ(ReadCatalogue(&source, &memory, &entries, &options), kCatalogueNoMemory);
    EXPECT_EQ(entries, nullptr);
    EXPECT_EQ(heap.allocations, 1);
    EXPECT_EQ(heap.releases, 0);
    EXPECT_EQ(memcmp(&options, &before, sizeof options), 0);
}

TEST(Catalogue, NamesWithoutTerminatorRejectTheFile) {
    for (uint32_t bad = 0; bad < 3; ++bad) {
        for (size_t field : {size_t(0), size_t(260)}) {
            SCOPED_TRACE(testing::Message() << "entry " << bad << " field at " << field);
            Bytes image = ThreeEntries();
            memset(EntryAt(image, bad) + field, 'n', 260);
            Reading run(image);
            ExpectClearedAfterEntryFailure(run);
        }
    }
    // 259 characters and the NUL is the longest name that is accepted.
    Bytes image = ThreeEntries();
    memset(EntryAt(image, 1), 'n', 259);
    EntryAt(image, 1)[259] = 0;
    Reading run(image);
    ASSERT_EQ(run.result, kCatalogueOk);
    EXPECT_EQ(strlen(run.entries[1].sourceName), 259u);
}

// Entries that would install from another directory or outside the
// destination: the check names each fault, and the reader refuses the
// whole catalogue as if it were cut off; the names it accepts go through.
TEST(Catalogue, UnsafeNamesRejectTheFile) {
    struct Case {
        const char* source;
        const char* target;
        TargetProblem problem;   // of the target
        size_t at;
    } cases[] = {
        {"x.dl_", "..\\..\\WINDOWS\\WIN.INI", kTargetParent, 0},
        {"x.dl_", "GUIDE\\..\\..\\x.dll", kTargetParent, 6},
        {"x.dl_", "a\\...\\x.dll", kTargetParent, 2},
        {"x.dl_", "a\\.. \\x.dll", kTargetParent, 2},
        {"x.dl_", "..", kTargetParent, 0},
        {"x.dl_", "\\WINDOWS\\WIN.INI", kTargetRooted, 0},
        {"x.dl_", "/etc/x", kTargetRooted, 0},
        {"x.dl_", "C:\\WINDOWS\\WIN.INI", kTargetDrive, 1},
        {"x.dl_", "C:WIN.INI", kTargetDrive, 1},
        {"x.dl_", "sub\\C:x.dll", kTargetDrive, 5},
        {"x.dl_", "x.dll:stream", kTargetDrive, 5},
        {"x.dl_", "sub/x.dll", kTargetForwardSlash, 3},
        {"x.dl_", "sub\\..//x.dll", kTargetForwardSlash, 6},
        {"x.dl_", "", kTargetEmpty, 0},
        {"x.dl_", "a\\\\x.dll", kTargetEmptyPart, 2},
        {"x.dl_", "a\\  \\x.dll", kTargetEmptyPart, 2},
        {"x.dl_", "sub\\", kTargetTrailingSeparator, 3},
        {"x.dl_", "a\\.\\x.dll", kTargetDot, 2},
        {"x.dl_", "a?b.dll", kTargetBadCharacter, 1},
        {"x.dl_", "a\x01" "b.dll", kTargetBadCharacter, 1},
        {"..\\x.dl_", "x.dll", kTargetOk, 0},
        {"A:\\x.dl_", "x.dll", kTargetOk, 0},
        {"sub/x.dl_", "x.dll", kTargetOk, 0},
        {"a:x.dl_", "x.dll", kTargetOk, 0},
        {"..", "x.dll", kTargetOk, 0},
        {". ", "x.dll", kTargetOk, 0},
        {"", "x.dll", kTargetOk, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.source << "\" to \"" << c.target << "\"");
        size_t at = 99;
        EXPECT_EQ(CheckTargetPath(c.target, &at), c.problem);
        if (c.problem != kTargetOk) EXPECT_EQ(at, c.at);
        // Every case breaks one rule: the target's, or else the source's.
        EXPECT_EQ(IsBareFileName(c.source), c.problem != kTargetOk ? 1 : 0);
        Bytes image = ThreeEntries();
        memset(EntryAt(image, 1), 0, 520);
        memcpy(EntryAt(image, 1), c.source, strlen(c.source));
        memcpy(EntryAt(image, 1) + 260, c.target, strlen(c.target));
        Reading run(image);
        ExpectClearedAfterEntryFailure(run);
    }
    const char* const fine[][2] = {
        {"x.dl_", "x.dll"}, {"my file.da_", "sub dir\\my file.dat"}, {"a..b", "a\\b..c\\.x"},
        {"x", "GUIDE\\guide.hlp"}, {"...x", "..x"},
    };
    for (const auto& f : fine) {
        SCOPED_TRACE(f[1]);
        EXPECT_EQ(CheckTargetPath(f[1], nullptr), kTargetOk);
        EXPECT_EQ(IsBareFileName(f[0]), 1);
        Bytes image = Encode({{"base.dl_", "base.dll", 0x1, 1}, {f[0], f[1], 0x2, 2}});
        Reading run(image);
        ASSERT_EQ(run.result, kCatalogueOk);
        EXPECT_STREQ(run.entries[1].targetPath, f[1]);
    }
    EXPECT_EQ(CheckTargetPath(std::string(259, 'a').c_str(), nullptr), kTargetOk);
    EXPECT_EQ(CheckTargetPath(std::string(260, 'a').c_str(), nullptr), kTargetTooLong);
}

// A file cut at every offset short of its full length: with fileBytes telling
// the truth the reader refuses before allocating when the header is whole;
// with fileBytes claiming the full size the entry reads fail part way.
TEST(Catalogue, TruncationAtEveryByteIsRejected) {
    const Bytes full = ThreeEntries();
    for (size_t cut = 0; cut < full.size(); ++cut) {
        SCOPED_TRACE(cut);
        Bytes image(full.begin(), full.begin() + cut);
        {
            Reading run(image);
            EXPECT_EQ(run.result, kCatalogueInvalid);
            EXPECT_EQ(run.entries, nullptr);
            EXPECT_EQ(run.heap.allocations, 0);
            EXPECT_TRUE(run.OptionsUntouched());
        }
        {
            Reading run(image, full.size());
            EXPECT_EQ(run.result, kCatalogueInvalid);
            EXPECT_EQ(run.entries, nullptr);
            EXPECT_EQ(run.heap.releases, run.heap.allocations);
            if (cut < 16) {
                EXPECT_EQ(run.heap.allocations, 0);
                EXPECT_TRUE(run.OptionsUntouched());
            } else {
                ExpectClearedAfterEntryFailure(run);
            }
        }
    }
}

TEST(Catalogue, HeaderDecoding) {
    uint8_t bytes[16];
    CatalogueHeader header;
    EncodeCatalogueHeader(2, 0x01020304, bytes);
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[1], 0x01);
    EXPECT_EQ(bytes[8], 0x04);
    EXPECT_EQ(bytes[11], 0x01);
    EXPECT_EQ(DecodeCatalogueHeader(bytes, &header), 1);
    EXPECT_EQ(header.signature, 256u);
    EXPECT_EQ(header.entryCount, 2u);
    EXPECT_EQ(header.totalBytes, 0x01020304u);
    EXPECT_EQ(header.reserved, 0u);
    EncodeCatalogueHeader(0, 5, bytes);
    EXPECT_EQ(DecodeCatalogueHeader(bytes, &header), 0);
}

TEST(CatalogueWriter, RefusesWhatTheFormatCannotHold) {
    std::string name259(259, 'a'), name260(260, 'a');
    CatalogueRecord fits = {name259.c_str(), name259.c_str(), 0x1, 1};
    CatalogueRecord longSource = {name260.c_str(), "t", 0x1, 1};
    CatalogueRecord longTarget = {"s", name260.c_str(), 0x1, 1};
    uint8_t entry[792];
    EXPECT_EQ(EncodeCatalogueEntry(&fits, entry), 1);
    for (const CatalogueRecord* r : {&longSource, &longTarget}) {
        memset(entry, 0x55, sizeof entry);
        EXPECT_EQ(EncodeCatalogueEntry(r, entry), 0);
        for (uint8_t b : entry) ASSERT_EQ(b, 0);
    }

    Bytes out(CatalogueFileBytes(2) + 10);
    CatalogueRecord two[] = {{"a", "a", 0x1, 0x80000000u}, {"b", "b", 0x2, 0x80000000u}};
    EXPECT_EQ(EncodeCatalogue(two, 2, out.data(), out.size()), 0u);   // sum is 2^32
    two[1].size = 0x7FFFFFFF;
    EXPECT_EQ(EncodeCatalogue(two, 2, out.data(), out.size()), CatalogueFileBytes(2));
    EXPECT_EQ(EncodeCatalogue(two, 2, out.data(), CatalogueFileBytes(2) - 1), 0u);
    EXPECT_EQ(EncodeCatalogue(two, 0, out.data(), out.size()), 0u);
    CatalogueRecord bad[] = {{"a", "a", 0x1, 1}, longTarget};
    EXPECT_EQ(EncodeCatalogue(bad, 2, out.data(), out.size()), 0u);
    EXPECT_EQ(CatalogueFileBytes(3), 16u + 3 * 792);
    EXPECT_EQ(CatalogueFileBytes(0xFFFFFFFF), 16u + 792ull * 0xFFFFFFFF);
}

}  // namespace
