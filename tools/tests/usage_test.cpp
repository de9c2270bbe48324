// The command lines of the distribution tools: --help prints the usage on
// standard output and succeeds; a wrong command line prints it on standard
// error and exits with status 2, touching no file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/tests/testutil.h"

namespace {

TEST(ToolUsage, HelpAndWrongUsage)
{
    std::string dir = ScratchDir();
    WriteBytes(dir + "/in", Bytes{'a', 'b', 'c'});
    const std::string in = dir + "/in", out = dir + "/out";
    struct Case {
        const char* tool;
        std::vector<std::string> args;
        int status;  // 0: usage on standard output; 2: on standard error
    };
    const Case cases[] = {
        {"szdd", {"--help"}, 0},
        {"infdump", {"--help"}, 0},
        {"mkdist", {"--help"}, 0},
        {"szdd", {}, 2},
        {"szdd", {"--help", "extra"}, 2},
        {"szdd", {"--frobnicate", in, out}, 2},
        {"szdd", {"compress", in}, 2},
        {"infdump", {}, 2},
        {"infdump", {"--frobnicate"}, 2},
        {"infdump", {"-x"}, 2},
        {"infdump", {in, in}, 2},
        {"infdump", {"--help", in}, 2},
        {"mkdist", {}, 2},
        {"mkdist", {"--frobnicate", in, out}, 2},
        {"mkdist", {"--help", in, out}, 2},
        {"mkdist", {in}, 2},
        {"mkdist", {"--capacity", "none", in, out}, 2},
        {"infdump", {"--codepage", "65001", in}, 2},
        {"infdump", {"--codepage", "", in}, 2},
        {"mkdist", {"--codepage", "1234", in, out}, 2},
        {"mkdist", {"--codepage", "932x", in, out}, 2},
    };
    for (const Case& c : cases) {
        std::string line = c.tool;
        for (const std::string& a : c.args) line += " " + a;
        SCOPED_TRACE(line);
        RunResult r = RunTool(c.tool, c.args);
        EXPECT_EQ(c.status, r.status);
        const std::string& usage = c.status == 0 ? r.out : r.err;
        const std::string& other = c.status == 0 ? r.err : r.out;
        // The --capacity and --codepage complaints name the option instead
        // of the usage.
        if (c.args.size() > 1 && c.args[0] == "--capacity")
            EXPECT_NE(std::string::npos, r.err.find("--capacity needs a positive number")) << r.err;
        else if (c.args.size() > 1 && c.args[0] == "--codepage")
            EXPECT_NE(std::string::npos, r.err.find("--codepage: no ANSI code page")) << r.err;
        else
            EXPECT_EQ(0u, usage.find(std::string("usage: ") + c.tool + " ")) << usage;
        EXPECT_EQ("", other);
    }
    EXPECT_EQ((std::vector<std::string>{"in"}), ListDir(dir));
}

}  // namespace
