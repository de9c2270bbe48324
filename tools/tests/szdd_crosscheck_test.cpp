// Cross-checks with Debian's mscompress package: msexpand expands what we
// compress, and we expand what mscompress compresses.  The command-line
// tool refuses bad input with a message and leaves no output behind.
#include <string>

#include <gtest/gtest.h>

#include "tools/szdd/szdd.h"
#include "tools/tests/testutil.h"

namespace {

std::vector<std::pair<std::string, Bytes>> Inputs()
{
    return {
        {"empty", {}},
        {"one", {'q'}},
        {"short", TextBytes(15, 1)},
        {"blanks", Bytes(5000, ' ')},
        {"zeros", Bytes(20000, 0)},
        {"random", RandomBytes(20000, 2)},
        {"text", TextBytes(100000, 3)},
        {"m4095", MixedBytes(4095, 4)},
        {"m4096", MixedBytes(4096, 5)},
        {"m4097", MixedBytes(4097, 6)},
        {"mixed", MixedBytes(250000, 7)},
    };
}

TEST(SzddCrossCheck, MsexpandExpandsOurOutput)
{
    if (!HaveProgram("msexpand")) GTEST_SKIP() << "msexpand is not installed";
    std::string dir = ScratchDir();
    for (const auto& in : Inputs()) {
        SCOPED_TRACE(in.first);
        Bytes packed;
        SzddCompress(in.second.data(), in.second.size(), 0, &packed);
        std::string packedPath = dir + "/" + in.first + ".sz";
        WriteBytes(packedPath, packed);
        RunResult r = RunTool("/bin/sh", {"-c", "msexpand < \"$0\" > \"$0.out\"", packedPath});
        ASSERT_EQ(0, r.status) << r.err;
        EXPECT_TRUE(ReadBytes(packedPath + ".out") == in.second);
    }
}

TEST(SzddCrossCheck, WeExpandMscompressOutput)
{
    if (!HaveProgram("mscompress")) GTEST_SKIP() << "mscompress is not installed";
    std::string dir = ScratchDir();
    for (const auto& in : Inputs()) {
        if (in.second.size() < 16) continue;   // mscompress spoils inputs under 16 bytes
        SCOPED_TRACE(in.first);
        std::string path = dir + "/" + in.first;
        WriteBytes(path, in.second);
        RunResult r = RunTool("/bin/sh", {"-c", "mscompress \"$0\"", path});
        ASSERT_EQ(0, r.status) << r.err;
        Bytes theirs = ReadBytes(path + "_"), back;
        ASSERT_EQ(kSzddOk, SzddExpand(theirs.data(), theirs.size(), &back));
        EXPECT_TRUE(back == in.second);
        // Ours is never larger than their greedy parse.
        Bytes ours;
        SzddCompress(in.second.data(), in.second.size(), 0, &ours);
        EXPECT_LE(ours.size(), theirs.size());
    }
}

TEST(SzddTool, CompressesAndExpandsFiles)
{
    std::string dir = ScratchDir();
    Bytes data = MixedBytes(40000, 8);
    WriteBytes(dir + "/guide.hlp", data);
    RunResult c = RunTool("szdd", {"compress", "-r", dir + "/guide.hlp", dir + "/guide.hl_"});
    ASSERT_EQ(0, c.status) << c.err;
    Bytes packed = ReadBytes(dir + "/guide.hl_");
    SzddHeader h;
    ASSERT_EQ(kSzddOk, SzddReadHeader(packed.data(), packed.size(), &h));
    EXPECT_EQ('p', h.lastChar);
    RunResult e = RunTool("szdd", {"expand", dir + "/guide.hl_", dir + "/back"});
    ASSERT_EQ(0, e.status) << e.err;
    EXPECT_TRUE(ReadBytes(dir + "/back") == data);
    EXPECT_EQ((std::vector<std::string>{"back", "guide.hl_", "guide.hlp"}), ListDir(dir));
}

TEST(SzddTool, RefusesBadInputWithoutLeavingOutput)
{
    std::string dir = ScratchDir();
    Bytes data = TextBytes(5000, 9), packed;
    SzddCompress(data.data(), data.size(), 0, &packed);
    Bytes cut(packed.begin(), packed.begin() + packed.size() / 2);
    WriteBytes(dir + "/cut.sz", cut);
    WriteBytes(dir + "/plain.txt", data);
    struct Case { std::vector<std::string> args; int status; std::string message; };
    const Case cases[] = {
        {{"expand", dir + "/cut.sz", dir + "/out"}, 1, dir + "/cut.sz: truncated data"},
        {{"expand", dir + "/plain.txt", dir + "/out"}, 1, dir + "/plain.txt: not an SZDD"},
        {{"expand", dir + "/missing", dir + "/out"}, 1, dir + "/missing: No such file"},
        {{"compress", dir + "/plain.txt", dir + "/nodir/out"}, 1, dir + "/nodir/out"},
        {{"expand", dir + "/cut.sz"}, 2, "usage"},
        {{"squeeze", dir + "/cut.sz", dir + "/out"}, 2, "usage"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        RunResult r = RunTool("szdd", c.args);
        EXPECT_EQ(c.status, r.status);
        EXPECT_NE(std::string::npos, r.err.find(c.message)) << r.err;
    }
    EXPECT_EQ((std::vector<std::string>{"cut.sz", "plain.txt"}), ListDir(dir));
}

}  // namespace
