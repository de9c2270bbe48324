// Path text: joins that never overrun, the directories a path needs, volume
// roots and the free-space arithmetic.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "base/pathtext.h"

namespace {

// A 260-byte path buffer followed by canary bytes that must survive.
struct Guarded {
    enum { kCapacity = 260, kCanary = 32 };
    char bytes[kCapacity + kCanary];
    Guarded() { memset(bytes, 0x5A, sizeof bytes); }
    bool CanaryIntact() const {
        for (int i = kCapacity; i < kCapacity + kCanary; ++i)
            if (bytes[i] != 0x5A) return false;
        return true;
    }
};

TEST(PathText, CopyAndAppendNeverCut) {
    Guarded g;
    std::string t259(259, 'x'), t260(260, 'x');
    EXPECT_EQ(CopyText(g.bytes, Guarded::kCapacity, t259.c_str()), 259u);
    EXPECT_EQ(std::string(g.bytes), t259);
    EXPECT_EQ(CopyText(g.bytes, Guarded::kCapacity, t260.c_str()), 0u);
    EXPECT_EQ(g.bytes[0], '\0');
    EXPECT_TRUE(g.CanaryIntact());
    EXPECT_EQ(CopyText(g.bytes, Guarded::kCapacity, ""), 0u);
    EXPECT_EQ(g.bytes[0], '\0');

    CopyText(g.bytes, Guarded::kCapacity, std::string(200, 'a').c_str());
    EXPECT_EQ(AppendText(g.bytes, Guarded::kCapacity, std::string(60, 'b').c_str()), 0u);
    EXPECT_EQ(std::string(g.bytes), std::string(200, 'a'));   // unchanged
    EXPECT_EQ(AppendText(g.bytes, Guarded::kCapacity, std::string(59, 'b').c_str()), 259u);
    EXPECT_EQ(std::string(g.bytes), std::string(200, 'a') + std::string(59, 'b'));
    EXPECT_TRUE(g.CanaryIntact());
    EXPECT_EQ(TextLength(g.bytes), 259u);
    EXPECT_EQ(LastBackslash("C:\\a\\b"), 4);
    EXPECT_EQ(LastBackslash("name"), -1);
}

TEST(PathText, JoinPath) {
    struct Case { const char* dir; const char* name; const char* out; } cases[] = {
        {"C:\\dir", "*", "C:\\dir\\*"},
        {"C:\\dir\\", "*", "C:\\dir\\*"},
        {"C:\\", "setup.inf", "C:\\setup.inf"},
        {"\\\\srv\\share", "a", "\\\\srv\\share\\a"},
        {"C:\\dir", "", "C:\\dir\\"},
        {"", "*", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dir) + " + " + c.name);
        Guarded g;
        EXPECT_EQ(JoinPath(c.dir, c.name, g.bytes, Guarded::kCapacity), strlen(c.out));
        EXPECT_STREQ(g.bytes, c.out);
    }
}

// Joined lengths around the 259-character limit: either the whole path or
// nothing, and never a byte past the capacity.
TEST(PathText, JoinPathAtTheLimit) {
    for (size_t dirLength = 250; dirLength <= 262; ++dirLength) {
        for (int trailing = 0; trailing < 2; ++trailing) {
            for (size_t nameLength = 0; nameLength <= 12; ++nameLength) {
                std::string dir = "C:\\" + std::string(dirLength - 3 - trailing, 'd') +
                                  (trailing ? "\\" : "");
                std::string name(nameLength, 'n');
                std::string joined = dir + (trailing ? "" : "\\") + name;
                SCOPED_TRACE(testing::Message() << dirLength << " " << trailing << " " << nameLength);
                Guarded g;
                size_t length = JoinPath(dir.c_str(), name.c_str(), g.bytes, Guarded::kCapacity);
                ASSERT_TRUE(g.CanaryIntact());
                if (joined.size() <= 259) {
                    ASSERT_EQ(length, joined.size());
                    ASSERT_EQ(std::string(g.bytes), joined);
                } else {
                    ASSERT_EQ(length, 0u);
                    ASSERT_EQ(g.bytes[0], '\0');
                }
            }
        }
    }
}

struct Recorder {
    std::vector<std::string> made;
    size_t failAt = static_cast<size_t>(-1);   // index of the call that fails
};

int Make(const char* dir, void* context) {
    Recorder* r = static_cast<Recorder*>(context);
    r->made.push_back(dir);
    return r->made.size() - 1 == r->failAt ? 0 : 1;
}

TEST(PathText, DirectoriesOfAPath) {
    struct Case { const char* path; int result; std::vector<std::string> made; } cases[] = {
        {"C:", 1, {}},
        {"C:\\", 1, {}},
        {"C:x", 1, {}},   // at most 3 characters: nothing to create
        {"C:\\a", 1, {"C:\\a"}},
        {"C:\\a\\b\\c", 1, {"C:\\a", "C:\\a\\b", "C:\\a\\b\\c"}},
        {"C:\\a\\", 1, {"C:\\a", "C:\\a\\"}},
        {"\\\\srv", 0, {}},
        {"\\\\srv\\share", 1, {}},
        {"\\\\srv\\share\\", 1, {"\\\\srv\\share\\"}},   // the whole path, as a trailing backslash does
        {"\\\\srv\\share\\a", 1, {"\\\\srv\\share\\a"}},
        {"\\\\srv\\share\\a\\b", 1, {"\\\\srv\\share\\a", "\\\\srv\\share\\a\\b"}},
        {"dir\\sub", 0, {}},
        {"dir", 0, {}},
        {"\\dir", 0, {}},
        {"", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string before = c.path;
        Recorder r;
        EXPECT_EQ(ForEachDirectoryOfPath(c.path, Make, &r), c.result);
        EXPECT_EQ(r.made, c.made);
        EXPECT_EQ(before, c.path);
    }
}

TEST(PathText, DirectoriesStopAtTheFirstFailure) {
    for (size_t fail = 0; fail < 3; ++fail) {
        SCOPED_TRACE(fail);
        Recorder r;
        r.failAt = fail;
        EXPECT_EQ(ForEachDirectoryOfPath("C:\\a\\b\\c", Make, &r), 0);
        std::vector<std::string> all = {"C:\\a", "C:\\a\\b", "C:\\a\\b\\c"};
        EXPECT_EQ(r.made, std::vector<std::string>(all.begin(), all.begin() + fail + 1));
    }
}

TEST(PathText, DirectoriesOfLongPaths) {
    std::string path259 = "C:\\" + std::string(100, 'a') + "\\" + std::string(155, 'b');
    ASSERT_EQ(path259.size(), 259u);
    Recorder r;
    EXPECT_EQ(ForEachDirectoryOfPath(path259.c_str(), Make, &r), 1);
    ASSERT_EQ(r.made.size(), 2u);
    EXPECT_EQ(r.made[1], path259);
    std::string path260 = path259 + "c";
    Recorder none;
    EXPECT_EQ(ForEachDirectoryOfPath(path260.c_str(), Make, &none), 0);
    EXPECT_TRUE(none.made.empty());
}

// What the destination page accepts: a full path on a drive, nothing that
// Windows would take relative to somewhere else or cannot make.
TEST(PathText, FullDrivePaths) {
    struct Case { const char* path; DrivePathProblem problem; } cases[] = {
        {"C:\\", kDrivePathOk},
        {"C:\\TOVARIN", kDrivePathOk},
        {"d:\\Program Files\\Tovarin 95\\", kDrivePathOk},
        {"Z:\\a.b\\c d\\\xE9t\xE9", kDrivePathOk},
        {"", kNotFullPath},
        {"TOVARIN", kNotFullPath},
        {".\\TOVARIN", kNotFullPath},
        {"..\\TOVARIN", kNotFullPath},
        {"\\TOVARIN", kNotFullPath},
        {"/TOVARIN", kNotFullPath},
        {"C:", kNotFullPath},
        {"C:TOVARIN", kNotFullPath},
        {"C:/TOVARIN", kNotFullPath},
        {"1:\\TOVARIN", kNotFullPath},
        {"CC:\\TOVARIN", kNotFullPath},
        {"\\\\SERVER\\SHARE", kNetworkPath},
        {"\\\\SERVER\\SHARE\\TOVARIN", kNetworkPath},
        {"\\\\?\\C:\\TOVARIN", kNetworkPath},
        {"C:\\TOV:ARIN", kBadNameCharacter},
        {"C:\\TOVARIN\\D:\\x", kBadNameCharacter},
        {"C:\\TOV*", kBadNameCharacter},
        {"C:\\TOV?", kBadNameCharacter},
        {"C:\\\"TOVARIN\"", kBadNameCharacter},
        {"C:\\a<b", kBadNameCharacter},
        {"C:\\a>b", kBadNameCharacter},
        {"C:\\a|b", kBadNameCharacter},
        {"C:\\a/b", kBadNameCharacter},
        {"C:\\a\tb", kBadNameCharacter},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckDrivePath(c.path), c.problem) << "\"" << c.path << "\"";
}

TEST(PathText, VolumeRoot) {
    struct Case { const char* path; const char* root; } cases[] = {
        {"D:\\any\\depth\\of\\path", "D:\\"},
        {"c:\\", "c:\\"},
        {"C:", "C:\\"},
        {"\\\\srv\\share\\dir", "\\\\srv\\share\\"},
        {"\\\\srv\\share\\", "\\\\srv\\share\\"},
        {"\\\\srv\\share", "\\\\srv\\share"},
        {"\\\\srv", "\\\\srv"},
        {"relative", "relative"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Guarded g;
        EXPECT_EQ(VolumeRoot(c.path, g.bytes, Guarded::kCapacity), strlen(c.root));
        EXPECT_STREQ(g.bytes, c.root);
    }
    char small[4];
    EXPECT_EQ(VolumeRoot("\\\\srv\\share\\dir", small, sizeof small), 0u);
    EXPECT_EQ(VolumeRoot("D:\\x", small, 3), 0u);
}

TEST(PathText, FreeSpaceFromClusters) {
    struct Case { uint32_t clusters, bytesPerSector, sectorsPerCluster, kb; } cases[] = {
        {0, 512, 8, 0},
        {511, 1, 1, 0},
        {512, 1, 1, 1},
        {1535, 1, 1, 1},
        {1536, 1, 1, 2},
        {1, 512, 3, 2},                               // 1536 bytes
        {268435456, 512, 16, 2147483648u},            // 2 TB
        {0xFFFFFFFE, 1024, 1, 0xFFFFFFFEu},            // just under 4 TB
        {0x40000000, 4096, 1, 0xFFFFFFFFu},            // 4 TB
        {0x80000000, 4096, 64, 0xFFFFFFFFu},           // 512 TB
        {0xFFFFFFFF, 0xFFFFFFFF, 1, 0xFFFFFFFFu},
        {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFFu},
        {0xFFFFFFFF, 0xFFFFFFFF, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.clusters << " x " << c.bytesPerSector << " x "
                                        << c.sectorsPerCluster);
        EXPECT_EQ(FreeSpaceFromClusters(c.clusters, c.bytesPerSector, c.sectorsPerCluster), c.kb);
    }
}

}  // namespace

// Only the write path's own names are temporary: a cleanup must never take
// a user's file for one.
TEST(PathText, TemporaryFileNames)
{
    const struct {
        const char* name;
        TemporaryKind kind;
    } cases[] = {
        {"~tv0a1f.tmp", kNewContents},
        {"~TV0A1F.TMP", kNewContents},
        {"~tv0a1g.tmp", kNotTemporary},
        {"~tv0a1.tmp", kNotTemporary},
        {"~tv0a1ff.tmp", kNotTemporary},
        {"tv0a1f.tmp", kNotTemporary},
        {"~tv0a1f.tmpx", kNotTemporary},
        {"tovarin.exe.~tv", kSetAside},
        {"TOVARIN.EXE.~TV", kSetAside},
        {".~tv", kNotTemporary},
        {"tovarin.~tvs", kNotTemporary},
        {"tovarin.tvs", kNotTemporary},
        {"", kNotTemporary},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TemporaryFileKind(c.name), c.kind) << c.name;
}

// Names on the disk and in the catalogue compare as the file system does in
// code page 1252.
TEST(PathText, SameTextIgnoringCase)
{
    const struct {
        const char* a;
        const char* b;
        int same;
    } cases[] = {
        {"TOVARIN.EX_", "tovarin.ex_", 1},
        {"\xC4" "BUNG.TXT", "\xE4" "bung.txt", 1},    // Ä and ä
        {"\xD7", "\xF7", 0},                          // multiply and divide signs are no letters
        {"\x8A", "\x9A", 1},                          // S with caron
        {"a", "ab", 0},
        {"", "", 1},
        {"[", "{", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SameTextIgnoringCase(c.a, c.b), c.same) << c.a << " / " << c.b;
}

// The directory of a target: a path without a backslash has none, and one
// that does not fit is refused rather than cut.
TEST(PathText, ParentDirectory)
{
    const struct {
        const char* path;
        size_t capacity;
        const char* parent;
    } cases[] = {
        {"C:\\Tovarin\\GUIDE\\guide.hlp", 260, "C:\\Tovarin\\GUIDE"},
        {"C:\\a.dat", 260, "C:"},
        {"\\\\srv\\share\\a", 260, "\\\\srv\\share"},
        {"tovarin.exe", 260, ""},
        {"C:\\Tovarin\\a", 8, ""},
    };
    for (const auto& c : cases) {
        char out[260] = "x";
        EXPECT_EQ(ParentDirectory(c.path, out, c.capacity), strlen(c.parent)) << c.path;
        EXPECT_STREQ(out, c.parent) << c.path;
    }
}
