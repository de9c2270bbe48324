#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "integration/registrytext.h"

TEST(RegistryText, RegistryData)
{
    char out[260];
    // The program's path is quoted too: unquoted, NT would run C:\Program.exe.
    const struct {
        const char* dir;
        const char* command;
    } commands[] = {
        {"C:\\Program Files\\Tovarin", "\"C:\\Program Files\\Tovarin\\tovarin.exe\" \"%1\""},
        {"C:\\Tovarin", "\"C:\\Tovarin\\tovarin.exe\" \"%1\""},
        {"D:\\", "\"D:\\\\tovarin.exe\" \"%1\""},   // a root is used unchanged
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.dir);
        EXPECT_EQ(OpenCommandText(c.dir, out, sizeof out), strlen(c.command));
        EXPECT_STREQ(out, c.command);
    }
    // A double quote in the directory would end the program's path early.
    strcpy(out, "#");
    EXPECT_EQ(OpenCommandText("C:\\a\" \"b", out, sizeof out), 0u);
    EXPECT_STREQ(out, "");

    IconText("C:\\Tovarin", 1, out, sizeof out);
    EXPECT_STREQ(out, "C:\\Tovarin\\tovarin.exe ,1");
    IconText("D:\\", 2, out, sizeof out);
    EXPECT_STREQ(out, "D:\\\\tovarin.exe ,2");
    AppPathText("C:\\Tovarin", out, sizeof out);
    EXPECT_STREQ(out, "C:\\Tovarin\\tovarin.exe");

    // The quoted command is refused whole when its quotes would not fit.
    std::string edge(240, 'd');   // 240 + 19 = 259 fits
    EXPECT_EQ(OpenCommandText(edge.c_str(), out, sizeof out), 259u);
    edge += 'd';
    EXPECT_EQ(OpenCommandText(edge.c_str(), out, sizeof out), 0u);
    EXPECT_STREQ(out, "");
    std::string longDir(250, 'd');
    EXPECT_EQ(OpenCommandText(longDir.c_str(), out, sizeof out), 0u);
    EXPECT_EQ(AppPathText(longDir.c_str(), out, sizeof out), 0u);
}
