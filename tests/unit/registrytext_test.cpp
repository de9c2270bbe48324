#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

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

// The keys are numbered from 1, the first without a number, as it always
// was named.
TEST(RegistryText, EntryKeyNames)
{
    const struct {
        uint32_t number;
        const char* name;
    } cases[] = {{1, "Tovarin"}, {2, "Tovarin 2"}, {12, "Tovarin 12"}, {kMostEntries, "Tovarin 32"}};
    for (const auto& c : cases) {
        char name[32];
        EXPECT_EQ(EntryKeyName(c.number, name, sizeof name), strlen(c.name));
        EXPECT_STREQ(name, c.name);
    }
}

// The first installation keeps its names; another destination's carry it,
// and a name that would not fit is refused, not cut.
TEST(RegistryText, NamesThatTellInstallationsApart)
{
    char out[260];
    // In a command a name with a destination is quoted: its parentheses,
    // comma or bracket would end the argument or the command.
    const struct {
        uint32_t entry;
        const char* dest;
        const char* display;
        const char* item;
        const char* argument;
    } cases[] = {
        {0, "D:\\APPS", "Tovarin", "Tovarin Read Me", "Tovarin Read Me"},
        {1, "D:\\APPS", "Tovarin", "Tovarin Read Me", "Tovarin Read Me"},
        // An item is a file in the group's folder: no colon, no backslash;
        // and no square bracket, which the removal refuses in a name.
        {2, "D:\\APPS\\TOVARIN", "Tovarin (D:\\APPS\\TOVARIN)", "Tovarin Read Me (D-APPS-TOVARIN)",
         "\"Tovarin Read Me (D-APPS-TOVARIN)\""},
        {7, "C:\\Apps]x,(1)", "Tovarin (C:\\Apps]x,(1))", "Tovarin Read Me (C-Apps)x,(1))",
         "\"Tovarin Read Me (C-Apps)x,(1))\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(EntryDisplayName(c.entry, c.dest, out, sizeof out), strlen(c.display));
        EXPECT_STREQ(out, c.display);
        EXPECT_EQ(ItemName("Tovarin Read Me", c.entry, c.dest, 0, out, sizeof out), strlen(c.item));
        EXPECT_STREQ(out, c.item);
        EXPECT_EQ(ItemName("Tovarin Read Me", c.entry, c.dest, 1, out, sizeof out), strlen(c.argument));
        EXPECT_STREQ(out, c.argument);
    }
    // 259 characters fit (the drive's colon stays out); with the quotes,
    // 261 are refused whole, not cut.
    std::string dest = "C:\\" + std::string(239, 'd');
    EXPECT_EQ(ItemName("Tovarin Read Me", 2, dest.c_str(), 0, out, sizeof out), 259u);
    EXPECT_EQ(ItemName("Tovarin Read Me", 2, dest.c_str(), 1, out, sizeof out), 0u);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(ItemName("Tovarin Read Me", 1, dest.c_str(), 1, out, sizeof out), 15u);
}

// A destination finds its own entry among the keys in any order and
// letter case; a new one takes the first number no key has, also one of
// an entry that names no destination.
TEST(RegistryText, EachDestinationItsEntry)
{
    struct Key {
        uint32_t number;
        const char* location;
    };
    const struct {
        const char* label;
        std::vector<Key> keys;
        const char* dest;
        uint32_t chosen;
        uint32_t found;
    } cases[] = {
        {"no entries", {}, "C:\\Tovarin", 1, 0},
        {"its own first entry", {{1, "C:\\Tovarin"}}, "c:\\TOVARIN", 1, 1},
        {"another destination's", {{1, "C:\\Tovarin"}}, "D:\\Apps\\Tovarin", 2, 0},
        {"its own after a gap", {{3, "D:\\Apps"}, {1, "C:\\Tovarin"}}, "D:\\Apps", 3, 3},
        {"the gap a removal left", {{3, "D:\\Apps"}, {1, "C:\\Tovarin"}}, "E:\\New", 2, 0},
        {"an entry without a location is taken", {{1, ""}, {2, "C:\\B"}}, "E:\\New", 3, 0},
        {"a longer path is another", {{1, "C:\\Tovarin\\App"}}, "C:\\Tovarin", 2, 0},
        {"the lowest of two", {{5, "C:\\T"}, {4, "C:\\t"}}, "C:\\T", 4, 4},
        {"numbers beyond the last are none", {{0, "C:\\T"}, {kMostEntries + 1, "C:\\T"}}, "C:\\T", 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EntrySearch search;
        StartEntrySearch(&search);
        for (const Key& k : c.keys)
            ConsiderEntry(&search, k.number, k.location, c.dest);
        EXPECT_EQ(search.found, c.found);
        EXPECT_EQ(ChosenEntry(&search), c.chosen);
    }
    // Every number taken: none is left for a new destination, though an
    // installed one still finds its own.
    for (const char* dest : {"C:\\Twenty", "C:\\New"}) {
        SCOPED_TRACE(dest);
        EntrySearch search;
        StartEntrySearch(&search);
        for (uint32_t n = 1; n <= kMostEntries; ++n)
            ConsiderEntry(&search, n, n == 20 ? "C:\\Twenty" : "C:\\Other", dest);
        EXPECT_EQ(ChosenEntry(&search), strcmp(dest, "C:\\New") == 0 ? 0u : 20u);
    }
}

// The recovery's RunOnce value: one a destination, its name within the
// registry's 255 characters, the command naming the destination's own
// removal program.
TEST(RegistryText, TheRecoveryValue)
{
    struct Case {
        std::string dest, name, command;
    } cases[] = {
        {"C:\\Tovarin", "Tovarin recovery C:\\Tovarin", "\"C:\\Tovarin\\tvremove.exe\" /recover"},
        {"D:\\", "Tovarin recovery D:\\", "\"D:\\tvremove.exe\" /recover"},
        {"C:\\" + std::string(235, 'x'), "Tovarin recovery C:\\" + std::string(235, 'x'),
         "\"C:\\" + std::string(235, 'x') + "\\tvremove.exe\" /recover"},
        {"C:\\" + std::string(236, 'x'), "", "\"C:\\" + std::string(236, 'x') + "\\tvremove.exe\" /recover"},
    };
    for (const auto& c : cases) {
        char name[300], command[300];
        EXPECT_EQ(RecoveryValueName(c.dest.c_str(), name, sizeof name), c.name.size()) << c.dest.size();
        EXPECT_EQ(std::string(name), c.name);
        EXPECT_EQ(RecoveryCommand(c.dest.c_str(), command, sizeof command), c.command.size());
        EXPECT_EQ(std::string(command), c.command);
    }
}
