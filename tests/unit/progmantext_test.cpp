// Program Manager's commands and item paths, and the group list.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "integration/progmantext.h"

namespace {

using Composer = size_t (*)(const char*, char*, size_t);

std::string Composed(Composer compose, const char* argument, size_t capacity = 260)
{
    std::vector<char> out(capacity + 8, '#');
    size_t length = compose(argument, out.data(), capacity);
    EXPECT_EQ(out[capacity], '#') << "wrote past the capacity";
    std::string text(out.data());
    EXPECT_EQ(length, text.size());
    return text;
}

std::vector<std::string> Groups(std::string text)
{
    std::vector<std::string> groups;
    SplitGroupList(&text[0], text.size(), [](const char* g, void* c) {
        static_cast<std::vector<std::string>*>(c)->push_back(g);
    }, &groups);
    return groups;
}

}  // namespace

TEST(ProgmanText, ItemPaths)
{
    char out[260];
    // Every path is quoted, whatever it holds: unquoted, a comma or a
    // parenthesis would end the argument and a square bracket the command.
    const struct {
        const char* dir;
        const char* tail;
        const char* path;
    } cases[] = {
        {"C:\\TOVARIN", "\\tovarin.exe", "\"C:\\TOVARIN\\tovarin.exe\""},
        {"C:\\My Apps", "\\readme.wri", "\"C:\\My Apps\\readme.wri\""},
        {"D:\\", "\\tovarin.exe", "\"D:\\\\tovarin.exe\""},   // a root is used unchanged
        {"C:\\Tovarin", "\\GUIDE\\guide.hlp", "\"C:\\Tovarin\\GUIDE\\guide.hlp\""},
        {"C:\\Apps]x", "\\tovarin.exe", "\"C:\\Apps]x\\tovarin.exe\""},
        {"C:\\Apps)[Delete", "\\readme.wri", "\"C:\\Apps)[Delete\\readme.wri\""},
        {"C:\\a,b", "\\tovarin.exe", "\"C:\\a,b\\tovarin.exe\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dir);
        EXPECT_EQ(ItemPath(c.dir, c.tail, out, sizeof out), strlen(c.path));
        EXPECT_STREQ(out, c.path);
    }
    EXPECT_EQ(GuideTail("GUIDE", out, sizeof out), 16u);
    EXPECT_STREQ(out, "\\GUIDE\\guide.hlp");

    // A double quote would end the quoted argument: refused, not sent.
    for (const char* dir : {"C:\\a\"b", "C:\\x\", 0)][DeleteGroup(\"Main"}) {
        SCOPED_TRACE(dir);
        strcpy(out, "#");
        EXPECT_EQ(ItemPath(dir, "\\tovarin.exe", out, sizeof out), 0u);
        EXPECT_STREQ(out, "");
    }

    // A path that would not fit with its quotes is refused whole.
    std::string longDir = "C:\\" + std::string(250, 'a');
    EXPECT_EQ(ItemPath(longDir.c_str(), "\\tovarin.exe", out, sizeof out), 0u);
    EXPECT_STREQ(out, "");
    std::string edge = "C:\\" + std::string(242, 'b');   // 245 + 12 + 2 quotes = 259 fits
    EXPECT_EQ(ItemPath(edge.c_str(), "\\tovarin.exe", out, sizeof out), 259u);
    edge += 'b';
    EXPECT_EQ(ItemPath(edge.c_str(), "\\tovarin.exe", out, sizeof out), 0u);
}

TEST(ProgmanText, Commands)
{
    char out[1024];
    EXPECT_EQ(Composed(CreateGroupCommand, "Tovarin95 Demo"), "[CreateGroup(\"Tovarin95 Demo\")]");
    EXPECT_EQ(Composed(ShowGroupCommand, "Tovarin95 Demo"), "[ShowGroup(\"Tovarin95 Demo\", 1)]");
    EXPECT_EQ(Composed(DeleteItemCommand, "Tovarin"), "[DeleteItem(Tovarin)]");
    // The removal's: a recorded name with a comma or a parenthesis stays one argument.
    EXPECT_EQ(Composed(DeleteQuotedItemCommand, "Tovarin (D-APPS), 2"), "[DeleteItem(\"Tovarin (D-APPS), 2\")]");
    EXPECT_EQ(Composed(DeleteGroupCommand, "Tovarin95 Demo"), "[DeleteGroup(\"Tovarin95 Demo\")]");
    const Composer application = [](const char* path, char* o, size_t n) {
        return AddApplicationCommand(path, kApplicationItem, o, n);
    };
    EXPECT_EQ(Composed(application, "\"c:\\tovarin\\tovarin.exe\""),
              "[AddItem(\"c:\\tovarin\\tovarin.exe\", Tovarin, \"c:\\tovarin\\tovarin.exe\", 0)]");
    AddReadMeCommand("\"c:\\apps]x\\readme.wri\"", "Tovarin Read Me", out, sizeof out);
    EXPECT_STREQ(out, "[AddItem(\"c:\\apps]x\\readme.wri\", Tovarin Read Me, \"write.exe\", 0)]");
    AddGuideCommand("\"c:\\my t\\guide\\guide.hlp\"", "Tovarin Guide", out, sizeof out);
    EXPECT_STREQ(out, "[AddItem(\"c:\\my t\\guide\\guide.hlp\", Tovarin Guide, "
                      "\"c:\\my t\\guide\\guide.hlp\", 0)]");

    // The longest group name and path the installer allows fit the command
    // buffer; a small buffer refuses them without writing past it.
    std::string group(259, 'g');
    EXPECT_EQ(Composed(CreateGroupCommand, group.c_str(), 1024).size(), 259u + 17u);
    EXPECT_EQ(Composed(CreateGroupCommand, group.c_str(), 260), "");
    std::string path(261, 'p');
    EXPECT_EQ(Composed(application, path.c_str(), 1024).size(), 2 * 261u + 25u);
    EXPECT_EQ(Composed(application, path.c_str(), 300), "");
}

TEST(ProgmanText, GroupNamesThatWouldBreakTheCommands)
{
    EXPECT_TRUE(IsSafeGroupName("Tovarin95 Demo"));
    EXPECT_TRUE(IsSafeGroupName(""));
    EXPECT_TRUE(IsSafeGroupName("Accessories (old), & more"));
    EXPECT_FALSE(IsSafeGroupName("x\")][DeleteGroup(\"Main"));
    EXPECT_FALSE(IsSafeGroupName("a]b"));
    EXPECT_FALSE(IsSafeGroupName("[a"));
}

TEST(ProgmanText, GroupList)
{
    EXPECT_EQ(Groups("Main\r\nAccessories\r\nGames\r\n"),
              (std::vector<std::string>{"Main", "Accessories", "Games"}));
    EXPECT_EQ(Groups("\r\n"), std::vector<std::string>{}) << "Wine's answer names no group";
    EXPECT_EQ(Groups("Main\r\ntrailing"), std::vector<std::string>{"Main"});
    EXPECT_EQ(Groups("Unix\nLines\n"), (std::vector<std::string>{"Unix", "Lines"}));
    EXPECT_EQ(Groups("A\r\n\r\nB\r\n"), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Groups(""), std::vector<std::string>{});
    // The size bounds the text even without a terminator.
    std::string unterminated = "One\r\nTwo";
    std::vector<std::string> groups;
    SplitGroupList(&unterminated[0], 5, [](const char* g, void* c) {
        static_cast<std::vector<std::string>*>(c)->push_back(g);
    }, &groups);
    EXPECT_EQ(groups, std::vector<std::string>{"One"});
}
