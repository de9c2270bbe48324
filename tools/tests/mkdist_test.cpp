// mkdist: the manifest, short names, the spread over disks, and whole runs
// of the tool checked through the catalogue it writes.
#include <string.h>

#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "catalogue/catfile.h"
#include "tools/mkdist/layout.h"
#include "tools/mkdist/manifest.h"
#include "tools/szdd/szdd.h"
#include "tools/tests/testutil.h"

namespace {

TEST(Manifest, ReadsStatementsAndQuotedFields)
{
    Manifest m;
    std::vector<ManifestError> errors;
    const char* text =
        "# a comment\n"
        "\n"
        "setup build/setup.exe\n"
        "ctl3d \"dlls/ctl 3d.dll\"\r\n"
        "file data/a.txt readme.wri 0x1 compress\n"
        "\tfile \"my data/b.bmp\" \"CLIP ART/b.bmp\" 32 plain  \n";
    ASSERT_EQ(1, ParseManifest(text, &m, &errors));
    EXPECT_EQ("build/setup.exe", m.setupPath);
    EXPECT_EQ("dlls/ctl 3d.dll", m.ctl3dPath);
    EXPECT_EQ(4, m.ctl3dLine);
    ASSERT_EQ(2u, m.files.size());
    EXPECT_EQ(5, m.files[0].line);
    EXPECT_TRUE(m.files[0].compress);
    EXPECT_EQ("my data/b.bmp", m.files[1].source);
    EXPECT_EQ("CLIP ART\\b.bmp", m.files[1].target);
    EXPECT_EQ(0x20u, m.files[1].component);
    EXPECT_FALSE(m.files[1].compress);
}

TEST(Manifest, RefusesEachBadLineWithItsNumberAndReason)
{
    struct Case { const char* line; const char* reason; };
    const Case cases[] = {
        {"file a.txt ..\\evil.txt 0x1 compress", "leaves the destination"},
        {"file a.txt GUIDE\\..\\..\\x 0x1 compress", "leaves the destination"},
        {"file a.txt \\windows\\x.dll 0x1 compress", "starts with a backslash"},
        {"file a.txt /etc/x 0x1 compress", "starts with a backslash"},
        {"file a.txt C:\\x.dll 0x1 compress", "names a drive"},
        {"file a.txt GUIDE\\ 0x1 compress", "ends with a backslash"},
        {"file a.txt GUIDE\\\\x 0x1 compress", "empty directory name"},
        {"file a.txt a?b 0x1 compress", "character 0x3F"},
        {"file a.txt x.txt 0x3 compress", "not one of the eighteen"},
        {"file a.txt x.txt 0x40000 compress", "not one of the eighteen"},
        {"file a.txt x.txt 0 compress", "not one of the eighteen"},
        {"file a.txt x.txt 0x100000000 compress", "not one of the eighteen"},
        {"file a.txt x.txt base compress", "is not a number"},
        {"file a.txt x.txt -1 compress", "is not a number"},
        {"file a.txt x.txt 0x1 squeeze", "neither compress nor plain"},
        {"file a.txt x.txt 0x1", "found 3 fields"},
        {"file a.txt \"x.txt 0x1 compress", "unterminated double quote"},
        {"copy a.txt x.txt 0x1 compress", "unknown statement"},
        {"setup", "takes one path"},
        {"file a.txt README.WRI 0x1 plain", "duplicate target"},
    };
    const std::string longName(260, 'n');
    const std::string fits(259, 'n');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Manifest m;
        std::vector<ManifestError> errors;
        std::string text = "setup s.exe\nfile r.txt readme.wri 0x1 compress\n# x\n" + std::string(c.line) + "\n";
        EXPECT_EQ(0, ParseManifest(text, &m, &errors));
        ASSERT_EQ(1u, errors.size());
        EXPECT_EQ(4, errors[0].line);
        EXPECT_NE(std::string::npos, errors[0].reason.find(c.reason)) << errors[0].reason;
    }
    Manifest m;
    std::vector<ManifestError> errors;
    EXPECT_EQ(0, ParseManifest("file a " + longName + " 0x1 plain\nfile b " + fits + " 0x1 plain\n", &m, &errors));
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(1, errors[0].line);
    EXPECT_NE(std::string::npos, errors[0].reason.find("does not fit its 260-byte field"));
    EXPECT_EQ(0, ParseManifest("setup a\nsetup b\n", &m, &errors));
    ASSERT_EQ(1u, errors.size());
    EXPECT_NE(std::string::npos, errors[0].reason.find("second \"setup\" line (the first is line 1)"));
}

TEST(Layout, ShortNamesAreUnique83Names)
{
    struct Case { const char* target; bool compressed; const char* name; };
    const Case cases[] = {
        {"tovarin.exe", true, "tovarin.ex_"},
        {"readme.wri", false, "readme.wri"},
        {"GUIDE\\guide.hlp", true, "guide.hl_"},
        {"GUIDE\\Guide.HLP", true, "guide~1.hl_"},
        {"guide.hlp", false, "guide.hlp"},
        {"FONTS\\tovarinserif.ttf", true, "tovarins.tt_"},
        {"FONTS\\tovarinsans.ttf", true, "tovari~1.tt_"},
        {"a.b", true, "a.b_"},
        {"makefile", true, "makefile._"},
        {"Clip Art\\my pic.jpeg", false, "mypic.jpe"},
        {"x\\a+b,c.txt", false, "a_b_c.txt"},
        {"x\\setup.exe", false, "setup~1.exe"},
        {"x\\.profile", false, "_.pro"},
    };
    std::set<std::string> taken = {"setup.exe", "setup.inf", "ctl3d32.dll"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(c.name, ShortDiskName(c.target, c.compressed, &taken));
    }
    std::set<std::string> many;
    for (int i = 0; i < 120; ++i) {
        std::string n = ShortDiskName("longfilename.dat", false, &many);
        EXPECT_LE(n.find('.'), 8u);
    }
    EXPECT_EQ(120u, many.size());
}

TEST(Layout, SpreadsOverDisksAtTheCapacityEdges)
{
    const DiskGeometry disk = {4096, 512, 4};
    struct Case {
        const char* name;
        std::vector<uint64_t> sizes;
        uint64_t firstBytes;
        uint32_t firstEntries;
        int result;
        std::vector<int> disks;
    };
    const Case cases[] = {
        {"all on disk 1", {100, 200}, 1024, 2, -1, {0, 0}},
        {"a file exactly filling a disk", {4096, 1}, 512, 1, -1, {1, 0}},
        {"exactly filling what disk 1 has left", {3584}, 512, 1, -1, {0}},
        {"one byte more goes on", {3585}, 512, 1, -1, {1}},
        {"rounded up to the cluster", {513, 3072, 3073}, 0, 0, -1, {0, 0, 1}},
        {"later small files fill gaps", {3000, 3000, 500}, 0, 0, -1, {0, 1, 0}},
        {"root directory full", {1, 1, 1, 1, 1}, 0, 2, -1, {0, 0, 1, 1, 1}},
        {"empty files take an entry only", {0, 0}, 4096, 1, -1, {0, 0}},
        {"one byte larger than a disk", {10, 4097}, 0, 0, 1, {0, -1}},
        {"disk 1 files do not fit", {1}, 4097, 1, -2, {-1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> diskOf;
        EXPECT_EQ(c.result, SpreadOverDisks(disk, c.sizes, c.firstBytes, c.firstEntries, &diskOf));
        EXPECT_EQ(c.disks, diskOf);
    }
}

// A small distribution written by the test: sources, a fake installer and
// the manifest.
struct Fixture {
    std::string dir;
    std::map<std::string, Bytes> byTarget;
};

Fixture MakeSources(const std::string& dir, const std::string& extraLines = "")
{
    Fixture f;
    f.dir = dir;
    WriteBytes(dir + "/src/setup.exe", Bytes(3000, 'S'));
    WriteBytes(dir + "/src/ctl3d32.dll", Bytes(1000, 'C'));
    struct File { const char* source; const char* target; const char* component; const char* mode; Bytes bytes; };
    const File files[] = {
        {"src/tovarin.exe", "tovarin.exe", "0x1", "compress", MixedBytes(30000, 1)},
        {"src/readme.wri", "readme.wri", "0x1", "compress", TextBytes(9000, 2)},
        {"src/guide.hlp", "GUIDE\\guide.hlp", "0x10", "compress", TextBytes(60000, 3)},
        {"src/photo.jpg", "PHOTOS\\photo.jpg", "0x1000", "compress", RandomBytes(20000, 4)},
        {"src/raw.bin", "raw.bin", "0x20000", "plain", TextBytes(7000, 5)},
        {"src/empty.txt", "empty.txt", "0x2", "compress", {}},
        {"src/photo2.jpg", "PHOTOS\\Photo.jpg.bak", "0x1000", "compress", RandomBytes(9000, 6)},
    };
    std::string manifest = "setup src/setup.exe\nctl3d src/ctl3d32.dll\n";
    for (const File& x : files) {
        WriteBytes(dir + "/" + x.source, x.bytes);
        manifest += std::string("file ") + x.source + " " + x.target + " " + x.component + " " + x.mode + "\n";
        f.byTarget[x.target] = x.bytes;
    }
    WriteBytes(dir + "/manifest.txt", Bytes(manifest.begin(), manifest.end()));
    if (!extraLines.empty()) {
        std::string all = manifest + extraLines;
        WriteBytes(dir + "/manifest.txt", Bytes(all.begin(), all.end()));
    }
    return f;
}

// Reads the catalogue of a distribution and checks every entry against the
// sources: found on exactly one disk, expanding to the original bytes.
void CheckDistribution(const Fixture& f, const std::vector<std::string>& disks)
{
    Bytes inf = ReadBytes(disks[0] + "/setup.inf");
    ASSERT_GE(inf.size(), 16u);
    CatalogueHeader h;
    ASSERT_EQ(1, DecodeCatalogueHeader(inf.data(), &h));
    ASSERT_EQ(f.byTarget.size(), h.entryCount);
    ASSERT_EQ(CatalogueFileBytes(h.entryCount), inf.size());
    EXPECT_TRUE(ReadBytes(disks[0] + "/setup.exe") == Bytes(3000, 'S'));
    uint64_t sum = 0;
    std::set<std::string> names;
    for (uint32_t i = 0; i < h.entryCount; ++i) {
        CatalogueEntry e;
        ASSERT_EQ(1, DecodeCatalogueEntry(inf.data() + 16 + 792 * i, &e));
        SCOPED_TRACE(e.targetPath);
        EXPECT_TRUE(names.insert(e.sourceName).second) << "source name used twice";
        EXPECT_LE(strlen(e.sourceName), 12u);
        auto it = f.byTarget.find(e.targetPath);
        ASSERT_NE(f.byTarget.end(), it);
        EXPECT_EQ(it->second.size(), e.size);
        sum += e.size;
        int found = 0;
        for (const std::string& d : disks) {
            if (!Exists(d + "/" + e.sourceName)) continue;
            ++found;
            Bytes stored = ReadBytes(d + "/" + e.sourceName), back;
            if (SzddHasMagic(stored.data(), stored.size())) {
                ASSERT_EQ(kSzddOk, SzddExpand(stored.data(), stored.size(), &back));
                EXPECT_EQ('_', e.sourceName[strlen(e.sourceName) - 1]);
            } else {
                back = stored;
            }
            EXPECT_TRUE(back == it->second);
        }
        EXPECT_EQ(1, found);
    }
    EXPECT_EQ(sum, h.totalBytes);
}

TEST(MkdistTool, WritesOneDirectory)
{
    Fixture f = MakeSources(ScratchDir());
    RunResult r = RunTool("mkdist", {"--onedir", f.dir + "/manifest.txt", f.dir + "/out/onedir"});
    ASSERT_EQ(0, r.status) << r.err;
    CheckDistribution(f, {f.dir + "/out/onedir"});
    std::vector<std::string> names = ListDir(f.dir + "/out/onedir");
    EXPECT_EQ(10u, names.size());   // 7 files, setup.exe, setup.inf, ctl3d32.dll
    // The incompressible photo is stored as it is, under its own name.
    EXPECT_TRUE(ReadBytes(f.dir + "/out/onedir/photo.jpg") == f.byTarget["PHOTOS\\photo.jpg"]);
    EXPECT_EQ((std::vector<std::string>{"onedir"}), ListDir(f.dir + "/out"));
    RunResult dump = RunTool("infdump", {f.dir + "/out/onedir/setup.inf"});
    EXPECT_EQ(0, dump.status) << dump.err;
    EXPECT_NE(std::string::npos, dump.out.find("guide.hl_"));
}

TEST(MkdistTool, SpreadsOverDisks)
{
    Fixture f = MakeSources(ScratchDir());
    // 24 KB disks in 512-byte clusters: the 60 KB guide compresses to fit.
    RunResult r = RunTool("mkdist", {"--capacity", "24576", f.dir + "/manifest.txt", f.dir + "/floppies"});
    ASSERT_EQ(0, r.status) << r.err;
    std::vector<std::string> disks;
    for (const std::string& d : ListDir(f.dir + "/floppies")) disks.push_back(f.dir + "/floppies/" + d);
    ASSERT_GE(disks.size(), 2u);
    EXPECT_EQ(f.dir + "/floppies/disk1", disks[0]);
    CheckDistribution(f, disks);
    for (const std::string& d : disks) {
        SCOPED_TRACE(d);
        uint64_t used = 0;
        for (const std::string& n : ListDir(d)) used += (ReadBytes(d + "/" + n).size() + 511) / 512 * 512;
        EXPECT_LE(used, 24576u);
    }
    EXPECT_TRUE(Exists(disks[0] + "/ctl3d32.dll"));
}

TEST(MkdistTool, AFileExactlyFillingADisk)
{
    std::string dir = ScratchDir();
    WriteBytes(dir + "/setup.exe", Bytes(100, 'S'));
    WriteBytes(dir + "/full.bin", RandomBytes(8192, 1));
    WriteBytes(dir + "/over.bin", RandomBytes(8193, 2));
    std::string text = "setup setup.exe\nfile full.bin full.bin 0x1 plain\n";
    WriteBytes(dir + "/ok.txt", Bytes(text.begin(), text.end()));
    RunResult r = RunTool("mkdist", {"--capacity", "8192", dir + "/ok.txt", dir + "/a"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ((std::vector<std::string>{"disk1", "disk2"}), ListDir(dir + "/a"));
    EXPECT_EQ((std::vector<std::string>{"full.bin"}), ListDir(dir + "/a/disk2"));

    text += "file over.bin over.bin 0x1 compress\n";
    WriteBytes(dir + "/over.txt", Bytes(text.begin(), text.end()));
    r = RunTool("mkdist", {"--capacity", "8192", dir + "/over.txt", dir + "/b"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("over.txt:3: over.bin: takes 8704 bytes on a disk, more than a disk holds (8192)"))
        << r.err;
    EXPECT_FALSE(Exists(dir + "/b"));
}

TEST(MkdistTool, RefusesBadManifestsAndLeavesNothing)
{
    struct Case { const char* name; std::string extra; std::string message; };
    const Case cases[] = {
        {"missing file", "file src/nothere.txt x.txt 0x1 compress\n", "manifest.txt:10: src/nothere.txt: No such file"},
        {"duplicate target", "file src/raw.bin TOVARIN.EXE 0x1 plain\n", "manifest.txt:10: duplicate target"},
        {"dot dot", "file src/raw.bin ..\\x 0x1 plain\n", "manifest.txt:10: target path leaves"},
        {"drive", "file src/raw.bin c:\\x 0x1 plain\n", "manifest.txt:10: target path names a drive"},
        {"component", "file src/raw.bin x 0x30 plain\n", "manifest.txt:10: component 0x30 is not one"},
        {"long name", "file src/raw.bin " + std::string(300, 'y') + " 0x1 plain\n", "manifest.txt:10: target path of 300"},
        {"second setup line", "setup src/nosetup.exe\n", "manifest.txt:10: second \"setup\" line"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f = MakeSources(ScratchDir(), c.extra);
        RunResult r = RunTool("mkdist", {f.dir + "/manifest.txt", f.dir + "/out/dist"});
        EXPECT_EQ(1, r.status);
        EXPECT_NE(std::string::npos, r.err.find(c.message)) << r.err;
        EXPECT_FALSE(Exists(f.dir + "/out/dist"));
        EXPECT_TRUE(ListDir(f.dir + "/out").empty());
    }
    // An earlier distribution survives a failed run.
    Fixture f = MakeSources(ScratchDir(), "file src/nothere.txt x.txt 0x1 compress\n");
    WriteBytes(f.dir + "/out/dist/setup.inf", Bytes(5, 'x'));
    RunResult r = RunTool("mkdist", {f.dir + "/manifest.txt", f.dir + "/out/dist"});
    EXPECT_EQ(1, r.status);
    EXPECT_EQ((std::vector<std::string>{"setup.inf"}), ListDir(f.dir + "/out/dist"));
    EXPECT_EQ((std::vector<std::string>{"dist"}), ListDir(f.dir + "/out"));
}

TEST(MkdistTool, ReplacesAnEarlierDistribution)
{
    Fixture f = MakeSources(ScratchDir());
    WriteBytes(f.dir + "/out/stale.txt", Bytes(5, 'x'));
    RunResult r = RunTool("mkdist", {"--onedir", f.dir + "/manifest.txt", f.dir + "/out"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_FALSE(Exists(f.dir + "/out/stale.txt"));
    CheckDistribution(f, {f.dir + "/out"});
    EXPECT_EQ((std::vector<std::string>{"manifest.txt", "out", "src"}), ListDir(f.dir));
}

}  // namespace
