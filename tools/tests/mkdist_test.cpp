// mkdist: the manifest, short names, the spread over disks, and whole runs
// of the tool checked through the catalogue it writes.
#include <ctype.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "catalogue/catfile.h"
#include "tools/mkdist/floppy.h"
#include "tools/mkdist/images.h"
#include "tools/mkdist/layout.h"
#include "tools/mkdist/manifest.h"
#include "tools/mkdist/output.h"
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

// The names in an output directory of mkdist but its marker, sorted.
std::vector<std::string> ListOutput(const std::string& dir)
{
    std::vector<std::string> names;
    for (const std::string& n : ListDir(dir)) {
        if (n != kOutputMarker) names.push_back(n);
    }
    return names;
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
    EXPECT_EQ(11u, names.size());   // 7 files, setup.exe, setup.inf, ctl3d32.dll, the marker
    // The incompressible photo is stored as it is, under its own name.
    EXPECT_TRUE(ReadBytes(f.dir + "/out/onedir/photo.jpg") == f.byTarget["PHOTOS\\photo.jpg"]);
    EXPECT_EQ((std::vector<std::string>{"onedir"}), ListDir(f.dir + "/out"));
    RunResult dump = RunTool("infdump", {f.dir + "/out/onedir/setup.inf"});
    EXPECT_EQ(0, dump.status) << dump.err;
    EXPECT_NE(std::string::npos, dump.out.find("guide.hl_"));
}

// A distribution for a Japanese, Chinese or Korean system names its targets
// in that code page (--codepage): a second byte of 0x5C is no separator,
// a letter as a second byte no letter.  ア is 83 41 and ヂ 83 61 in 932,
// 表 95 5C.
TEST(MkdistTool, ReadsTargetsInTheCodePageGiven)
{
    struct Case {
        const char* codePage;   // null: the default, 1252
        const char* target;
        int status;
        const char* complaint;
    } cases[] = {
        {"932", "\x95\x5C\\\x83\x41.dat", 0, ""},
        {nullptr, "\x95\x5C\\\x83\x41.dat", 1, "empty directory name"},
        {"932", "DATA\\\x95\x5C", 0, ""},
        {"1252", "DATA\\\x95\x5C", 1, "ends with a backslash"},
        {"932", "\x83\x61.dat", 0, ""},     // not the same file as ア.dat
        {"1252", "\x83\x61.dat", 1, "duplicate target"},   // in 1252 "\x83" then a letter
        {"932", "\x83\x41.DAT", 1, "duplicate target"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.codePage ? c.codePage : "default") + " " + c.target);
        std::string dir = ScratchDir();
        Fixture f = MakeSources(dir, std::string("file src/raw.bin \"\x83\x41.dat\" 0x1 plain\nfile src/raw.bin \"") +
                                         c.target + "\" 0x1 plain\n");
        std::vector<std::string> args;
        if (c.codePage) args = {"--codepage", c.codePage};
        args.insert(args.end(), {"--onedir", dir + "/manifest.txt", dir + "/out"});
        RunResult r = RunTool("mkdist", args);
        EXPECT_EQ(c.status, r.status) << r.err;
        EXPECT_NE(std::string::npos, r.err.find(c.complaint)) << r.err;
        if (r.status != 0) continue;
        std::vector<std::string> dump = {dir + "/out/setup.inf"};
        if (c.codePage) dump.insert(dump.begin(), {"--codepage", c.codePage});
        RunResult check = RunTool("infdump", dump);
        EXPECT_EQ(0, check.status) << check.err;
        EXPECT_NE(std::string::npos, check.out.find(c.target)) << check.out;
    }
}

TEST(MkdistTool, SpreadsOverDisks)
{
    Fixture f = MakeSources(ScratchDir());
    // 24 KB disks in 512-byte clusters: the 60 KB guide compresses to fit.
    RunResult r = RunTool("mkdist", {"--capacity", "24576", f.dir + "/manifest.txt", f.dir + "/floppies"});
    ASSERT_EQ(0, r.status) << r.err;
    std::vector<std::string> disks;
    for (const std::string& d : ListOutput(f.dir + "/floppies")) disks.push_back(f.dir + "/floppies/" + d);
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
    EXPECT_EQ((std::vector<std::string>{".mkdist", "disk1", "disk2"}), ListDir(dir + "/a"));
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
    // That an earlier output survives a failed run byte for byte:
    // MkdistTool.ReplacesOnlyItsOwnEarlierOutput.
}

std::string Upper8(std::string s)
{
    for (char& c : s) c = char(toupper(static_cast<unsigned char>(c)));
    return s;
}

// ---- Disk images ------------------------------------------------------------------

// A program of the system (mtools, dosfstools, xorriso) run on PATH.
RunResult RunSystem(const std::string& program, std::vector<std::string> args)
{
    args.insert(args.begin(), program);
    return RunTool("/usr/bin/env", args);
}

// What mformat writes for each format: the figures that the layout takes
// from its boot sector.
TEST(FloppyFormats, BootSectorsAsMformatWritesThem)
{
    struct Case { const char* name; uint32_t sectors, sectorsPerCluster, rootEntries, clusters; };
    const Case cases[] = {
        {"1440", 2880, 1, 224, 2847},
        {"dmf", 3360, 4, 16, 838},
        {"dmf1024", 3360, 2, 16, 1674},
        {"1200", 2400, 1, 224, 2371},
        {"720", 1440, 2, 112, 713},
    };
    std::string dir = ScratchDir();
    size_t formats = 0;
    for (const FloppyFormat* f = kFloppyFormats; f->name != nullptr; ++f) ++formats;
    EXPECT_EQ(sizeof cases / sizeof cases[0], formats);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FloppyFormat* format = FindFloppyFormat(c.name);
        ASSERT_NE(nullptr, format);
        DiskGeometry disk;
        std::string error;
        ASSERT_EQ(1, ProbeFloppyFormat(*format, dir + "/probe.img", &disk, &error)) << error;
        EXPECT_FALSE(Exists(dir + "/probe.img"));
        uint64_t cluster = 512u * c.sectorsPerCluster;
        EXPECT_EQ(cluster, disk.cluster);
        EXPECT_EQ(c.rootEntries - 1, disk.rootEntries);   // the volume label takes one
        EXPECT_EQ(c.clusters * cluster, disk.capacity);
    }
    EXPECT_EQ(nullptr, FindFloppyFormat("1.44"));
    EXPECT_EQ(std::string("1440"), kFloppyFormats[0].name);
}

TEST(FloppyFormats, RefusesBootSectorsItCannotTrust)
{
    // A 1.44 MB boot sector, then one field spoilt in each case.
    Bytes good(512, 0);
    const uint8_t bpb[] = {0xEB, 0x3C, 0x90, 'M', 'T', 'O', 'O', '4', '0', '4', '3',
                           0x00, 0x02, 1, 1, 0, 2, 224, 0, 0x40, 0x0B, 0xF0, 9, 0};
    std::copy(bpb, bpb + sizeof bpb, good.begin());
    good[510] = 0x55;
    good[511] = 0xAA;
    FatBootSector boot;
    ASSERT_EQ(1, ReadFatBootSector(good.data(), good.size(), &boot));
    EXPECT_EQ(2847u, FatDataClusters(boot));
    struct Case { const char* what; size_t offset; uint8_t value; };
    const Case cases[] = {
        {"no signature", 510, 0x00},
        {"sector size not a power of two", 12, 0x03},
        {"no sectors per cluster", 13, 0},
        {"three sectors per cluster", 13, 3},
        {"no FAT", 16, 0},
        {"no root entries", 17, 0},
        {"reserved sectors past the end of the disk", 15, 0x10},
        {"no sectors per FAT", 22, 0},
        {"too few FAT sectors for the clusters", 22, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bad = good;
        bad[c.offset] = c.value;
        EXPECT_EQ(0, ReadFatBootSector(bad.data(), bad.size(), &boot));
    }
    EXPECT_EQ(0, ReadFatBootSector(good.data(), 511, &boot));
}

// Every image of dir: fsck.fat finds nothing, the label names the disk, and
// every file reads back with mcopy as the one-directory distribution has
// it; every file of onedir is on one image.  Returns the image count.
size_t CheckImages(const std::string& dir, const std::string& onedir)
{
    std::vector<std::string> images = ListOutput(dir);
    std::map<std::string, int> seen;
    for (size_t d = 1; d <= images.size(); ++d) {
        std::string image = dir + "/disk" + std::to_string(d) + ".img";
        SCOPED_TRACE(image);
        EXPECT_TRUE(Exists(image));
        RunResult fsck = RunSystem("fsck.fat", {"-n", image});
        EXPECT_EQ(0, fsck.status) << fsck.out << fsck.err;
        RunResult dir8 = RunSystem("mdir", {"-b", "-i", image, "::"});
        EXPECT_EQ(0, dir8.status) << dir8.err;
        RunResult label = RunSystem("mlabel", {"-s", "-i", image, "::"});
        EXPECT_NE(std::string::npos, label.out.find("TOVARIN " + std::to_string(d))) << label.out;
        std::string back = dir + "-back";
        size_t start = 0;
        while (start < dir8.out.size()) {
            size_t end = dir8.out.find('\n', start);
            std::string name = dir8.out.substr(start, end - start);
            start = end == std::string::npos ? dir8.out.size() : end + 1;
            if (name.compare(0, 3, "::/") == 0) name = name.substr(3);
            if (name.empty()) continue;
            std::string lower = name;
            for (char& ch : lower) ch = char(tolower(static_cast<unsigned char>(ch)));
            EXPECT_EQ(Upper8(lower), name) << "a name in lower case on the image";
            RunResult copy = RunSystem("mcopy", {"-n", "-i", image, "::" + name, back});
            EXPECT_EQ(0, copy.status) << copy.err;
            EXPECT_TRUE(ReadBytes(back) == ReadBytes(onedir + "/" + lower)) << name;
            seen[lower]++;
            remove(back.c_str());
        }
    }
    for (const std::string& name : ListOutput(onedir)) EXPECT_EQ(1, seen[name]) << name;
    EXPECT_EQ(ListOutput(onedir).size(), seen.size());
    return images.size();
}

TEST(MkdistImages, EveryFormatPassesFsckAndReadsBack)
{
    Fixture f = MakeSources(ScratchDir());
    ASSERT_EQ(0, RunTool("mkdist", {"--onedir", f.dir + "/manifest.txt", f.dir + "/onedir"}).status);
    for (const FloppyFormat* format = kFloppyFormats; format->name != nullptr; ++format) {
        SCOPED_TRACE(format->name);
        std::string out = f.dir + "/img-" + format->name;
        RunResult r = RunTool("mkdist", {"--images", format->name, f.dir + "/manifest.txt", out});
        ASSERT_EQ(0, r.status) << r.err;
        EXPECT_EQ(1u, CheckImages(out, f.dir + "/onedir"));
        RunResult dump = RunTool("infdump", {out + "/disk1.img"});
        EXPECT_EQ(0, dump.status) << dump.err;
        EXPECT_NE(std::string::npos, dump.out.find("guide.hl_"));
    }
}

TEST(MkdistImages, SpreadOverDisksByClustersAndRootEntries)
{
    // 20 files of 100,000 random bytes stored as they are and 20 small ones:
    // a DMF disk has room for 17 large ones but root entries for 15 files
    // (13 beside setup.exe and setup.inf on disk 1), so the 42 take 3
    // disks; a 1440 disk holds 14 large ones by bytes and the small ones
    // beside them, 2 disks.
    std::string dir = ScratchDir();
    WriteBytes(dir + "/setup.exe", Bytes(3000, 'S'));
    std::string text = "setup setup.exe\n";
    for (int i = 0; i < 40; ++i) {
        std::string name = "f" + std::to_string(i) + ".bin";
        WriteBytes(dir + "/" + name, RandomBytes(i < 20 ? 100000 : 100, uint64_t(i)));
        text += "file " + name + " " + name + " 0x1 plain\n";
    }
    WriteBytes(dir + "/manifest.txt", Bytes(text.begin(), text.end()));
    ASSERT_EQ(0, RunTool("mkdist", {"--onedir", dir + "/manifest.txt", dir + "/onedir"}).status);
    struct Case { const char* format; size_t disks; };
    for (const Case& c : {Case{"dmf", 3}, Case{"1440", 2}}) {
        SCOPED_TRACE(c.format);
        RunResult r = RunTool("mkdist", {"--images", c.format, dir + "/manifest.txt", dir + "/" + c.format});
        ASSERT_EQ(0, r.status) << r.err;
        EXPECT_EQ(c.disks, CheckImages(dir + "/" + c.format, dir + "/onedir"));
    }
}

TEST(MkdistImages, TwoBuildsGiveTheSameBytes)
{
    Fixture f = MakeSources(ScratchDir());
    // The second build runs in another second, so any clock time would show.
    for (const char* format : {"1440", "dmf"}) {
        SCOPED_TRACE(format);
        ASSERT_EQ(0, RunTool("mkdist", {"--images", format, f.dir + "/manifest.txt", f.dir + "/a"}).status);
        sleep(1);
        ASSERT_EQ(0, RunTool("mkdist", {"--images", format, f.dir + "/manifest.txt", f.dir + "/b"}).status);
        EXPECT_TRUE(ReadBytes(f.dir + "/a/disk1.img") == ReadBytes(f.dir + "/b/disk1.img"));
        Bytes image = ReadBytes(f.dir + "/a/disk1.img");
        ASSERT_GE(image.size(), 512u);
        // The volume serial number of disk 1.
        EXPECT_EQ(kImageSerialBase + 1, uint32_t(image[39] | image[40] << 8 | image[41] << 16 | uint32_t(image[42]) << 24));
    }
    ASSERT_EQ(0, RunTool("mkdist", {"--cdrom", f.dir + "/manifest.txt", f.dir + "/a.iso"}).status);
    sleep(1);
    ASSERT_EQ(0, RunTool("mkdist", {"--cdrom", f.dir + "/manifest.txt", f.dir + "/b.iso"}).status);
    EXPECT_TRUE(ReadBytes(f.dir + "/a.iso") == ReadBytes(f.dir + "/b.iso"));
}

TEST(MkdistImages, CdImageHoldsTheOneDirectory)
{
    Fixture f = MakeSources(ScratchDir());
    ASSERT_EQ(0, RunTool("mkdist", {"--onedir", f.dir + "/manifest.txt", f.dir + "/onedir"}).status);
    RunResult r = RunTool("mkdist", {"--cdrom", f.dir + "/manifest.txt", f.dir + "/out/tovarin.iso"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ((std::vector<std::string>{"tovarin.iso"}), ListDir(f.dir + "/out"));
    Bytes iso = ReadBytes(f.dir + "/out/tovarin.iso");
    ASSERT_TRUE(LooksLikeCdImage(iso.data(), iso.size()));
    EXPECT_EQ("TOVARIN ", std::string(iso.begin() + 32808, iso.begin() + 32816));
    RunResult x = RunSystem("xorriso", {"-osirrox", "on", "-indev", f.dir + "/out/tovarin.iso", "-extract", "/",
                                        f.dir + "/back"});
    ASSERT_EQ(0, x.status) << x.err;
    std::vector<std::string> names = ListOutput(f.dir + "/onedir");
    EXPECT_EQ(names, ListDir(f.dir + "/back"));
    for (const std::string& n : names) EXPECT_TRUE(ReadBytes(f.dir + "/back/" + n) == ReadBytes(f.dir + "/onedir/" + n)) << n;
    RunResult dump = RunTool("infdump", {f.dir + "/out/tovarin.iso"});
    EXPECT_EQ(0, dump.status) << dump.err;
}

TEST(MkdistImages, RefusesWhatCannotBeImagedAndLeavesNothing)
{
    Fixture f = MakeSources(ScratchDir());
    // Larger than a DMF disk's 838 clusters of 2048 bytes.
    WriteBytes(f.dir + "/big.bin", RandomBytes(1716225, 9));
    std::string text = "setup src/setup.exe\nfile big.bin big.bin 0x1 plain\n";
    WriteBytes(f.dir + "/big.txt", Bytes(text.begin(), text.end()));
    RunResult r = RunTool("mkdist", {"--images", "dmf", f.dir + "/big.txt", f.dir + "/out"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("big.txt:2: big.bin: takes 1718272 bytes on a disk, more than a disk "
                                            "holds (1716224)")) << r.err;
    EXPECT_FALSE(Exists(f.dir + "/out"));
    // An installer larger than a 720 KB disk.
    WriteBytes(f.dir + "/src/setup.exe", RandomBytes(740000, 3));
    r = RunTool("mkdist", {"--images", "720", f.dir + "/manifest.txt", f.dir + "/out"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("manifest.txt: setup.exe, ctl3d32.dll, setup.inf take")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("(730112 bytes, 111 entries)")) << r.err;
    EXPECT_FALSE(Exists(f.dir + "/out"));
    WriteBytes(f.dir + "/src/setup.exe", Bytes(3000, 'S'));

    struct Case { std::vector<std::string> args; int status; const char* message; };
    const Case cases[] = {
        {{"--images", "1.44", "manifest.txt", "out"}, 2, "--images: no floppy format \"1.44\" (one of: 1440 dmf"},
        {{"--images", "dmf", "--onedir", "manifest.txt", "out"}, 2, "exclude each other"},
        {{"--images", "dmf", "--cluster", "1024", "manifest.txt", "out"}, 2, "fixes the capacity"},
        {{"--cdrom", "--images", "manifest.txt", "out"}, 2, "exclude each other"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args;
        for (const std::string& a : c.args) args.push_back(a == "manifest.txt" || a == "out" ? f.dir + "/" + a : a);
        r = RunTool("mkdist", args);
        EXPECT_EQ(c.status, r.status) << c.message;
        EXPECT_NE(std::string::npos, r.err.find(c.message)) << r.err;
        EXPECT_FALSE(Exists(f.dir + "/out"));
    }

    // A directory of images without the marker is not mkdist's, with other
    // files or without: left as it is.
    WriteBytes(f.dir + "/out/notes.txt", Bytes(3, 'n'));
    WriteBytes(f.dir + "/out/disk1.img", Bytes(3, 'i'));
    r = RunTool("mkdist", {"--images", f.dir + "/manifest.txt", f.dir + "/out"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("out: holds disk1.img and 1 more but no .mkdist marker")) << r.err;
    EXPECT_EQ((std::vector<std::string>{"disk1.img", "notes.txt"}), ListDir(f.dir + "/out"));
    remove((f.dir + "/out/notes.txt").c_str());
    r = RunTool("mkdist", {"--images", f.dir + "/manifest.txt", f.dir + "/out"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("out: holds disk1.img but no .mkdist marker")) << r.err;
    EXPECT_TRUE(ReadBytes(f.dir + "/out/disk1.img") == Bytes(3, 'i'));
    EXPECT_EQ((std::vector<std::string>{"big.bin", "big.txt", "manifest.txt", "out", "src"}), ListDir(f.dir));
}

// Every file under dir by its path there, with its bytes, and every
// directory as "name/" with none.
std::map<std::string, Bytes> ReadTree(const std::string& dir)
{
    std::map<std::string, Bytes> tree;
    std::error_code ec;
    for (std::filesystem::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().lexically_relative(dir).string();
        if (it->is_directory()) tree[name + "/"] = {};
        else tree[name] = ReadBytes(it->path().string());
    }
    return tree;
}

// The output takes the place of what was there only when that is nothing,
// an empty directory (an empty file for a CD image) or mkdist's own earlier
// output holding nothing but what its marker lists (or with the marker of an
// mkdist before the list), and never when the run reads from it; the new output is then the
// same as one written to a new place, with nothing of the earlier one and no
// temporary left beside it.  A refused or failed run leaves everything as it
// was, byte for byte.
TEST(MkdistTool, ReplacesOnlyItsOwnEarlierOutput)
{
    struct Mode {
        const char* name;
        std::vector<std::string> options;
        const char* inside;  // a file of an earlier output, from the output
        const char* beside;  // a file the user put beside it
    };
    const Mode modes[] = {
        {"disks", {}, "/disk1/setup.inf", "/disk1/notes.txt"},
        {"onedir", {"--onedir"}, "/setup.inf", "/notes.txt"},
        {"images", {"--images", "1440"}, "/disk1.img", "/notes.txt"},
        {"cdrom", {"--cdrom"}, "", ""},
    };
    enum Place {
        kEmpty,              // an empty directory, or an empty file
        kUserFile,           // the user's notes.txt in the directory, or as the image
        kNotMarked,          // a distribution without the marker, or an ISO of someone else
        kManifestDirectory,  // the output named is the manifest's own directory
        kManifestInEarlier,  // an earlier output, and the manifest moved into it
        kUserFileInEarlier,  // an earlier output, and the user's file put into it
        kListlessEarlier,    // an earlier output, its marker one without the list
        kCutMarkerInEarlier, // an earlier output, its marker cut, and the user's file
        kChangedInEarlier,   // an earlier output, a file of it changed
        kEarlierIsAnInput,   // an earlier output, and the manifest names a file of it
        kEarlierFailedRun,   // an earlier output, and the manifest names a missing file
        kEarlier             // an earlier output
    };
    struct Case {
        const char* name;
        Place place;
        int status;
        const char* message;    // what stderr says, after "mkdist: OUT: " unless the run failed;
                                // NOTES is the user's file beside the earlier output
        const char* cdMessage;  // the same with --cdrom, when it differs
    };
    const Case cases[] = {
        {"empty", kEmpty, 0, "", ""},
        {"the user's file", kUserFile, 1, "holds notes.txt but no .mkdist marker", "is not a CD-ROM image,"},
        {"no marker", kNotMarked, 1, "holds disk1 but no .mkdist marker", "is a CD-ROM image that mkdist did not"},
        {"the manifest's directory", kManifestDirectory, 1, "holds manifest.txt and 1 more but no .mkdist marker",
         "is a directory"},
        {"the manifest moved into an earlier output", kManifestInEarlier, 1,
         "holds manifest.txt and 1 more that mkdist did not write", nullptr},
        {"the user's file in an earlier output", kUserFileInEarlier, 1,
         "holds NOTES that mkdist did not write (its .mkdist marker lists its own), and mkdist replaces only its "
         "own: move it out",
         nullptr},
        {"an earlier output of an mkdist before the list", kListlessEarlier, 0, "", nullptr},
        {"a cut marker", kCutMarkerInEarlier, 1, "holds a .mkdist marker that cannot be read (line ", nullptr},
        {"an earlier output with a file changed", kChangedInEarlier, 0, "", nullptr},
        {"an earlier output read by the run", kEarlierIsAnInput, 1, "(line 10), which this run reads", ""},
        {"an earlier output and a failing run", kEarlierFailedRun, 1, "src/nothere.txt: No such file", ""},
        {"an earlier output", kEarlier, 0, "", ""},
    };
    std::string root = ScratchDir();
    // The earlier output has one file more, which takes a disk of its own.
    const std::string bigger = "file src/big.bin big.bin 0x1 plain\n";
    int n = 0;
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.name);
        bool cdrom = mode.options == std::vector<std::string>{"--cdrom"};
        auto mkdist = [&](const std::string& manifest, const std::string& out) {
            std::vector<std::string> args = mode.options;
            args.push_back(manifest);
            args.push_back(out);
            return RunTool("mkdist", args);
        };
        std::string fresh = root + "/" + mode.name + "-fresh";
        MakeSources(fresh + "/m");
        ASSERT_EQ(0, mkdist(fresh + "/m/manifest.txt", fresh + "/out").status);
        for (const Case& c : cases) {
            if (cdrom && c.cdMessage == nullptr) continue;
            SCOPED_TRACE(c.name);
            std::string dir = root + "/" + std::to_string(++n), m = dir + "/m", out = dir + "/out";
            WriteBytes(m + "/src/big.bin", RandomBytes(1400000, 7));
            if (c.place >= kManifestInEarlier) {
                MakeSources(m, bigger);
                ASSERT_EQ(0, mkdist(m + "/manifest.txt", out).status);
                ASSERT_TRUE(Exists(out + mode.inside));
            }
            std::string extra;
            switch (c.place) {
            case kEmpty:
                if (cdrom) WriteBytes(out, {});
                else std::filesystem::create_directories(out);
                break;
            case kUserFile:
                WriteBytes(cdrom ? out : out + "/notes.txt", Bytes(5, 'n'));
                break;
            case kNotMarked:
                if (cdrom) {
                    ASSERT_EQ(0, RunSystem("xorriso", {"-as", "mkisofs", "-quiet", "-o", out, m + "/src"}).status);
                } else {
                    WriteBytes(out + "/disk1/setup.inf", Bytes(5, 'i'));
                }
                break;
            case kManifestDirectory:
                out = m;
                break;
            case kManifestInEarlier:
                MakeSources(out);
                m = out;
                break;
            case kUserFileInEarlier:
                WriteBytes(out + mode.beside, Bytes(5, 'n'));
                break;
            case kListlessEarlier:
                WriteBytes(out + "/" + kOutputMarker,
                           Bytes(kListlessMarkerText, kListlessMarkerText + strlen(kListlessMarkerText)));
                break;
            case kCutMarkerInEarlier: {
                Bytes marker = ReadBytes(out + "/" + kOutputMarker);
                marker.resize(marker.size() - 5);
                WriteBytes(out + "/" + kOutputMarker, marker);
                WriteBytes(out + mode.beside, Bytes(5, 'n'));
                break;
            }
            case kChangedInEarlier:
                WriteBytes(out + mode.inside, Bytes(7, 'c'));
                break;
            case kEarlierIsAnInput:
                extra = std::string("file ../out") + mode.inside + " earlier.bin 0x1 plain\n";
                break;
            case kEarlierFailedRun:
                extra = "file src/nothere.txt x.txt 0x1 compress\n";
                break;
            case kEarlier:
                break;
            }
            if (c.place != kManifestInEarlier) MakeSources(m, extra);
            std::map<std::string, Bytes> before = ReadTree(dir);
            std::vector<std::string> names = ListDir(dir);

            RunResult r = mkdist(m + "/manifest.txt", out);
            EXPECT_EQ(c.status, r.status) << r.err;
            if (c.status != 0) {
                std::string message = cdrom && *c.cdMessage ? c.cdMessage : c.message;
                size_t notes = message.find("NOTES");
                if (notes != std::string::npos) message.replace(notes, 5, mode.beside + 1);
                EXPECT_NE(std::string::npos, r.err.find(message)) << r.err;
                if (c.place != kEarlierFailedRun) EXPECT_EQ(0u, r.err.find("mkdist: " + out + ": ")) << r.err;
                EXPECT_TRUE(before == ReadTree(dir)) << "the run changed " << dir;
            } else if (cdrom) {
                EXPECT_TRUE(ReadBytes(out) == ReadBytes(fresh + "/out"));
            } else {
                EXPECT_TRUE(ReadTree(out) == ReadTree(fresh + "/out"));
            }
            EXPECT_EQ(names, ListDir(dir));
        }
    }
}

TEST(InfdumpTool, ReadsTheCatalogueOfAnImageOnlyFromDiskOne)
{
    Fixture f = MakeSources(ScratchDir());
    // 40 KB disks would take two; a 1440 image takes it all, so disk 2 is
    // made by hand: an image with no setup.inf.
    ASSERT_EQ(0, RunTool("mkdist", {"--images", "dmf", f.dir + "/manifest.txt", f.dir + "/img"}).status);
    RunResult dump = RunTool("infdump", {f.dir + "/img/disk1.img"});
    EXPECT_EQ(0, dump.status) << dump.err;
    EXPECT_NE(std::string::npos, dump.out.find("7 entries")) << dump.out;
    ASSERT_EQ(0, RunSystem("mformat", {"-C", "-f", "1440", "-i", f.dir + "/disk2.img", "::"}).status);
    dump = RunTool("infdump", {f.dir + "/disk2.img"});
    EXPECT_EQ(1, dump.status);
    EXPECT_NE(std::string::npos, dump.err.find("no setup.inf read from this floppy image")) << dump.err;
}

}  // namespace
