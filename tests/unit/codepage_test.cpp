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
#include "catalogue/names.h"
#include "integration/progmantext.h"
#include "integration/registrytext.h"
#include "remove/plan.h"

namespace {

// Runs the test body in a code page, and back in 1252 afterwards.
class InCodePage {
public:
    explicit InCodePage(uint32_t codePage) { UseHostCodePage(codePage); }
    ~InCodePage() { UseHostCodePage(1252); }
};

// Code page 932: ア 83 41 and ヂ 83 61, the same but for a letter's case
// in their second bytes; half-width katakana ｱ B1 is a single byte.
const std::string kA = "\x83\x41", kDi = "\x83\x61";

void CollectPath(const RecordLine* line, void* context)
{
    static_cast<std::vector<std::string>*>(context)->push_back(line->field[0]);
}

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

// Every path operation, over a character of each code page whose second
// byte is "\\", "|", "[", "]" or a letter: the character stays whole and
// is never taken for a separator, a bad character or a letter.
TEST(CodePage, EveryPathOperationKeepsACharacterWhole)
{
    const struct {
        uint32_t codePage;
        const char* name;
        std::string c;
    } characters[] = {
        {932, "so", "\x83\x5C"}, {932, "hyo", "\x95\x5C"}, {932, "po", "\x83\x7C"},
        {932, "ze", "\x83\x5B"}, {932, "zo", "\x83\x5D"}, {932, "a", "\x83\x41"},
        {936, "jou", "\x81\x5C"}, {936, "jue", "\x81\x7C"}, {936, "letter", "\x81\x61"},
        {949, "letter A", "\xB0\x41"}, {949, "letter z", "\xC6\x7A"},
        {950, "gong", "\xA5\x5C"}, {950, "jia", "\xA5\x5B"}, {950, "bao", "\xA5\x5D"},
        {950, "bar", "\xA5\x7C"},
    };
    for (const auto& k : characters) {
        InCodePage page(k.codePage);
        SCOPED_TRACE(std::to_string(k.codePage) + " " + k.name);
        const std::string c = k.c, dest = "D:\\" + c + "\\" + c;   // its last byte may be 0x5C
        char out[kPathBytes];

        ASSERT_NE(JoinPath(dest.c_str(), "tovarin.exe", out, sizeof out), 0u);
        EXPECT_EQ(std::string(out), dest + "\\tovarin.exe");
        EXPECT_EQ(LastBackslash(dest.c_str()), 5);
        EXPECT_EQ(LastCharacterIndex(dest.c_str()), 6);
        ASSERT_NE(ParentDirectory(dest.c_str(), out, sizeof out), 0u);
        EXPECT_EQ(std::string(out), "D:\\" + c);
        std::vector<std::string> made;
        EXPECT_EQ(ForEachDirectoryOfPath(dest.c_str(), Made, &made), 1);
        EXPECT_EQ(made, std::vector<std::string>({"D:\\" + c, dest}));

        EXPECT_EQ(CheckDrivePath(dest.c_str()), kDrivePathOk);
        EXPECT_EQ(CheckDrivePath((dest + "?").c_str()), kBadNameCharacter);
        size_t at = 99;
        EXPECT_EQ(CheckTargetPath((c + "\\" + c + ".dat").c_str(), &at), kTargetOk);
        EXPECT_EQ(IsBareFileName((c + ".dat").c_str()), 1);
        EXPECT_EQ(IsSafeGroupName((c + " Tovarin").c_str()), 1);

        EXPECT_EQ(IsPlainAbsolutePath((dest + "\\tovarin.exe").c_str()), 1);
        EXPECT_EQ(IsInsideDirectory((dest + "\\tovarin.exe").c_str(), dest.c_str()), 1);
        EXPECT_EQ(IsInsideDirectory((dest + "x\\tovarin.exe").c_str(), dest.c_str()), 0);
        EXPECT_EQ(JudgeFile((dest + "\\GUIDE\\guide.hlp").c_str(), dest.c_str()), kRemoveFile);
        EXPECT_EQ(PathDepth((dest + "\\GUIDE").c_str()), 3u);

        ASSERT_NE(OpenCommandText(dest.c_str(), out, sizeof out), 0u);
        EXPECT_EQ(std::string(out), "\"" + dest + "\\tovarin.exe\" \"%1\"");
        ASSERT_NE(ItemName("Read Me", 2, dest.c_str(), 0, out, sizeof out), 0u);
        EXPECT_EQ(std::string(out), "Read Me (D-" + c + "-" + c + ")");

        // Lowered for the copy page and Program Manager, the character stays.
        std::string lowered = "C:\\TOVARIN\\" + c;
        LowerText(&lowered[0]);
        EXPECT_EQ(lowered, "c:\\tovarin\\" + c);

        // The record reads back what it wrote.
        const std::string file = dest + "\\tovarin.exe";
        RecordLine line = {kRecordFile, 0, {file.c_str(), "", "", ""}};
        std::string record(64, '\0');
        record.resize(FormatRecordSignature(&record[0], record.size()));
        char text[kRecordLineBytes];
        record.append(text, FormatRecordLine(&line, text, sizeof text));
        std::vector<std::string> read;
        uint32_t bad = 99;
        EXPECT_EQ(ReadRecord(record.data(), record.size(), CollectPath, &read, &bad), 1u);
        EXPECT_EQ(bad, 0u);
        EXPECT_EQ(read, std::vector<std::string>({dest + "\\tovarin.exe"}));
    }
}

// A lead byte before a byte below 0x40 is no character of two bytes: a
// record line "DIR C:\x<lead><CR>..." must not hide its CR inside one.
TEST(CodePage, ALeadByteNeverSwallowsAControlOrTheTerminator)
{
    InCodePage page(950);
    EXPECT_EQ(CharacterLength("\xB1\r"), 1u);
    EXPECT_EQ(CharacterLength("\xB1\t"), 1u);
    EXPECT_EQ(CharacterLength("\xB1"), 1u);
    EXPECT_EQ(CharacterLength("\xB1\x40"), 2u);
    EXPECT_EQ(LastCharacter("C:\\\xB1\r", '\r'), 4);
    std::string record = "Tovarin removal record 1\r\nDIR\tC:\\a\xB1\rb\r\n";
    uint32_t bad = 0;
    std::vector<std::string> read;
    EXPECT_EQ(ReadRecord(record.data(), record.size(), CollectPath, &read, &bad), 0u);
    EXPECT_EQ(bad, 2u);
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
        // What a path lowered names compares as the path itself.
        std::string lowered = c.a;
        LowerText(&lowered[0]);
        EXPECT_EQ(SameTextIgnoringCase(lowered.c_str(), c.a.c_str()), 1) << c.codePage << " " << c.a;
        EXPECT_EQ(lowered == c.b, c.same == 1) << c.codePage << " " << c.a;
    }
    InCodePage page(932);
    EXPECT_EQ(IsInsideDirectory(("C:\\" + kDi + "\\user.doc").c_str(), ("C:\\" + kA).c_str()), 0);
    EXPECT_EQ(IsInsideDirectory(("C:\\" + kA + "\\user.doc").c_str(), ("c:\\" + kA).c_str()), 1);
}
