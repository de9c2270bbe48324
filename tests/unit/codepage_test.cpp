// Paths in the double-byte code pages: a character's second byte may be
// the backslash, "|", a square bracket or a letter, and every path
// operation must step over it as part of its character.  Each table runs
// in its code page with the host's lead-byte table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/codepages.h"
#include "base/pathtext.h"
#include "base/text.h"
#include "install/record.h"
#include "integration/progmantext.h"

namespace {

// Runs the test body in a code page, and back in 1252 afterwards.
class InCodePage {
public:
    explicit InCodePage(uint32_t codePage) { UseHostCodePage(codePage); }
    ~InCodePage() { UseHostCodePage(1252); }
};

// Code page 932: ソ 83 5C, 表 95 5C, ポ 83 7C, ゼ 83 5B, ゾ 83 5D, ア 83 41,
// ヂ 83 61; half-width katakana ｱ B1 is a single byte.
const std::string kSo = "\x83\x5C", kHyo = "\x95\x5C", kPo = "\x83\x7C", kZe = "\x83\x5B", kZo = "\x83\x5D",
                  kA = "\x83\x41", kDi = "\x83\x61";

int Made(const char* dir, void* context)
{
    static_cast<std::vector<std::string>*>(context)->push_back(dir);
    return 1;
}

}  // namespace

TEST(CodePage, TheHostTablesKnowTheLeadBytes)
{
    struct Case {
        uint32_t codePage;
        unsigned char byte;
        int lead;
    } cases[] = {
        {932, 0x81, 1}, {932, 0x9F, 1}, {932, 0xA0, 0}, {932, 0xB1, 0}, {932, 0xDF, 0}, {932, 0xE0, 1},
        {932, 0xFC, 1}, {932, 0xFD, 0}, {936, 0x80, 0}, {936, 0x81, 1}, {936, 0xFE, 1}, {936, 0xFF, 0},
        {949, 0xB0, 1}, {950, 0xA5, 1}, {1252, 0x83, 0}, {1252, 0xE4, 0},
    };
    for (const auto& c : cases) {
        InCodePage page(c.codePage);
        EXPECT_EQ(IsLeadByte(c.byte), c.lead) << c.codePage << " " << int{c.byte};
    }
}

TEST(CodePage, PathsEndingInABackslashsByte)
{
    InCodePage page(932);
    const std::string dest = "D:\\" + kSo + "\\" + kHyo;   // D:\ソ\表, its last byte 0x5C
    char out[kPathBytes];
    ASSERT_NE(JoinPath(dest.c_str(), "tovarin.exe", out, sizeof out), 0u);
    EXPECT_EQ(std::string(out), dest + "\\tovarin.exe");
    EXPECT_EQ(LastBackslash(dest.c_str()), 5);
    ASSERT_NE(ParentDirectory((dest + "\\GUIDE").c_str(), out, sizeof out), 0u);
    EXPECT_EQ(std::string(out), dest);
    ASSERT_NE(ParentDirectory(dest.c_str(), out, sizeof out), 0u);
    EXPECT_EQ(std::string(out), "D:\\" + kSo);

    std::vector<std::string> made;
    EXPECT_EQ(ForEachDirectoryOfPath(("C:\\" + kSo + "\\DATA").c_str(), Made, &made), 1);
    EXPECT_EQ(made, std::vector<std::string>({"C:\\" + kSo, "C:\\" + kSo + "\\DATA"}));

    EXPECT_EQ(IsPlainAbsolutePath((dest + "\\tovarin.exe").c_str()), 1);
    EXPECT_EQ(IsInsideDirectory((dest + "\\tovarin.exe").c_str(), dest.c_str()), 1);
}

TEST(CodePage, SecondBytesThatLookLikeSeparatorsOrBrackets)
{
    InCodePage page(932);
    struct Case {
        std::string path;
        DrivePathProblem problem;
    } paths[] = {
        {"D:\\" + kPo + "\\x", kDrivePathOk},   // ポ: its second byte is "|"
        {"D:\\a|b", kBadNameCharacter},
        {"D:\\" + kSo + "?", kBadNameCharacter},
    };
    for (const auto& c : paths)
        EXPECT_EQ(CheckDrivePath(c.path.c_str()), c.problem) << c.path;
    EXPECT_EQ(IsPlainAbsolutePath(("D:\\" + kPo).c_str()), 1);
    EXPECT_EQ(IsSafeGroupName((kZe + kZo + " Tovarin").c_str()), 1);
    EXPECT_EQ(IsSafeGroupName("Tovarin]"), 0);
}

TEST(CodePage, LetterCaseFollowsTheCodePage)
{
    struct Case {
        uint32_t codePage;
        std::string a, b;
        int same;
    } cases[] = {
        {1252, "C:\\\xC4RGER", "c:\\\xE4rger", 1},             // Ä and ä alike in 1252
        {932, "C:\\TOVARIN", "c:\\tovarin", 1},
        {932, "C:\\" + kA, "C:\\" + kDi, 0},                   // ア 83 41 and ヂ 83 61
        {932, "C:\\\xB1", "C:\\\xD1", 0},                      // half-width katakana never fold
        {949, "C:\\\xB0\x41", "C:\\\xB0\x61", 0},              // a letter as a second byte
        {949, "C:\\\xB0\x41Z", "c:\\\xB0\x41z", 1},
    };
    for (const auto& c : cases) {
        InCodePage page(c.codePage);
        EXPECT_EQ(SameTextIgnoringCase(c.a.c_str(), c.b.c_str()), c.same) << c.codePage << " " << c.a;
    }
    InCodePage page(932);
    EXPECT_EQ(IsInsideDirectory(("C:\\" + kDi + "\\user.doc").c_str(), ("C:\\" + kA).c_str()), 0);
    EXPECT_EQ(IsInsideDirectory(("C:\\" + kA + "\\user.doc").c_str(), ("c:\\" + kA).c_str()), 1);
}
