// RunCommand: arguments reach the program as they are, never through a
// shell; failures name the program, how it ended and what it said.
#include <stdlib.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/common/process.h"
#include "tools/tests/testutil.h"

namespace {

std::string Text(const Bytes& b)
{
    return std::string(b.begin(), b.end());
}

TEST(RunCommand, PassesArgumentsAndSettingsAsTheyAre)
{
    std::string dir = ScratchDir();
    Command c;
    c.args = {"printf", "%s|", "a b", "$(touch " + dir + "/x)", "'q';`id`", "*"};
    c.outputPath = dir + "/out";
    std::string error;
    ASSERT_EQ(1, RunCommand(c, &error)) << error;
    EXPECT_EQ("a b|$(touch " + dir + "/x)|'q';`id`|*|", Text(ReadBytes(dir + "/out")));
    EXPECT_FALSE(Exists(dir + "/x"));

    // A setting replaces the variable of the same name, and only that one.
    setenv("TOVARIN_TEST_A", "old", 1);
    setenv("TOVARIN_TEST_AB", "kept", 1);
    c.args = {"env"};
    c.environment = {"TOVARIN_TEST_A=new"};
    ASSERT_EQ(1, RunCommand(c, &error)) << error;
    std::string env = "\n" + Text(ReadBytes(dir + "/out"));
    EXPECT_NE(std::string::npos, env.find("\nTOVARIN_TEST_A=new\n"));
    EXPECT_EQ(std::string::npos, env.find("\nTOVARIN_TEST_A=old\n"));
    EXPECT_NE(std::string::npos, env.find("\nTOVARIN_TEST_AB=kept\n"));
}

TEST(RunCommand, SaysHowAProgramFailed)
{
    struct Case { std::vector<std::string> args; const char* message; };
    const Case cases[] = {
        {{"tovarin-no-such-program"}, "tovarin-no-such-program: No such file or directory (is it installed?)"},
        {{"sh", "-c", "echo first >&2; echo second >&2; exit 3"}, "sh: exit status 3: first"},
        {{"sh", "-c", "kill -9 $$"}, "sh: killed by signal 9"},
        {{}, "no program to run"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Command command;
        command.args = c.args;
        std::string error;
        EXPECT_EQ(0, RunCommand(command, &error));
        EXPECT_EQ(c.message, error);
    }
}

}  // namespace
