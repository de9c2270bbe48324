// The removal record: what the writer writes the reader reads back, and
// what the reader cannot account for stops it, so that the removal deletes
// nothing it cannot prove is Setup's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/record.h"

namespace {

struct Line {
    RecordKind kind;
    int flag;
    std::vector<std::string> fields;
};

void Collect(const RecordLine* line, void* context)
{
    Line copy{line->kind, line->flag, {}};
    for (const char* field : line->field)
        copy.fields.push_back(field);
    static_cast<std::vector<Line>*>(context)->push_back(copy);
}

std::string Format(RecordKind kind, int flag, const char* a, const char* b = "", const char* c = "",
                   const char* d = "")
{
    RecordLine line = {kind, flag, {a, b, c, d}};
    char out[kRecordLineBytes + 1];
    size_t length = FormatRecordLine(&line, out, sizeof out);
    return std::string(out, length);
}

std::string Signature()
{
    char out[64];
    return std::string(out, FormatRecordSignature(out, sizeof out));
}

}  // namespace

TEST(Record, WhatIsWrittenReadsBack)
{
    const struct {
        RecordKind kind;
        int flag;
        std::vector<std::string> fields;
        const char* text;
    } cases[] = {
        {kRecordDirectory, 0, {"C:\\Program Files\\Tovarin", "", "", ""}, "DIR\tC:\\Program Files\\Tovarin\r\n"},
        {kRecordFile, 1, {"C:\\Tovarin\\tovarin.exe", "", "", ""}, "FILE\tC:\\Tovarin\\tovarin.exe\tover\r\n"},
        {kRecordFile, 0, {"\\\\srv\\share\\T\\a.dat", "", "", ""}, "FILE\t\\\\srv\\share\\T\\a.dat\tnew\r\n"},
        {kRecordTemporary, 0, {"C:\\Tovarin\\~tv0a1f.tmp", "", "", ""}, "TEMP\tC:\\Tovarin\\~tv0a1f.tmp\r\n"},
        {kRecordGroup, 1, {"Tovarin95 Demo", "", "", ""}, "GROUP\tTovarin95 Demo\tnew\r\n"},
        {kRecordItem, 0, {"Tovarin95 Demo", "Read me", "", ""}, "ITEM\tTovarin95 Demo\tRead me\r\n"},
        {kRecordKey, 0, {"HKCR", "tvdfile\\shell\\open\\command", "", ""}, "KEY\tHKCR\ttvdfile\\shell\\open\\command\r\n"},
        {kRecordValue, 0, {"HKCR", ".tvd", "", "tvdfile"}, "VALUE\tHKCR\t.tvd\t\ttvdfile\r\n"},
        {kRecordTemplate, 0, {"C:\\WINDOWS\\ShellNew\\default.tvd", "CBF43926-9", "", ""},
         "TEMPLATE\tC:\\WINDOWS\\ShellNew\\default.tvd\tCBF43926-9\r\n"},
        {kRecordPlaced, 0, {"C:\\Tovarin\\tovarin.exe", "0A1B2C3D-4000000000", "", ""},
         "PLACED\tC:\\Tovarin\\tovarin.exe\t0A1B2C3D-4000000000\r\n"},
        {kRecordCodePage, 0, {"932", "", "", ""}, "CODEPAGE\t932\r\n"},
        {kRecordBegin, 0, {"", "", "", ""}, "BEGIN\r\n"},
        {kRecordCommit, 0, {"", "", "", ""}, "COMMIT\r\n"},
        {kRecordCommitted, 0, {"", "", "", ""}, "COMMITTED\r\n"},
    };
    std::string record = Signature();
    for (const auto& c : cases) {
        std::string line = Format(c.kind, c.flag, c.fields[0].c_str(), c.fields[1].c_str(), c.fields[2].c_str(),
                                  c.fields[3].c_str());
        EXPECT_EQ(line, c.text);
        record += line;
    }
    std::vector<Line> read;
    uint32_t bad = 99;
    EXPECT_EQ(ReadRecord(record.data(), record.size(), Collect, &read, &bad), 14u);
    EXPECT_EQ(bad, 0u);
    ASSERT_EQ(read.size(), 14u);
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].kind, cases[i].kind) << i;
        EXPECT_EQ(read[i].flag, cases[i].flag) << i;
        EXPECT_EQ(read[i].fields, cases[i].fields) << i;
    }
}

// A line the writer cannot make safe is not written at all.
TEST(Record, TheWriterRefusesWhatCouldNotBeReadBack)
{
    static const std::string longPath = "C:\\" + std::string(300, 'x');
    const struct {
        const char* name;
        RecordKind kind;
        const char* a;
        const char* b;
    } cases[] = {
        {"relative path", kRecordFile, "tovarin.exe", ""},
        {"dot dot", kRecordFile, "C:\\Tovarin\\..\\WINDOWS\\WIN.INI", ""},
        {"tab in a path", kRecordDirectory, "C:\\a\tb", ""},
        {"line feed in a group", kRecordGroup, "Tovarin\nDIR\tC:\\WINDOWS", ""},
        {"unknown root", kRecordKey, "HKU", "x"},
        {"empty key", kRecordKey, "HKCR", ""},
        {"empty group", kRecordGroup, "", ""},
        {"drive relative", kRecordFile, "C:Tovarin\\x", ""},
        {"too long", kRecordDirectory, longPath.c_str(), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.kind, 0, c.a, c.b), "") << c.name;
}

// The reader stops at the first line it cannot account for; what came
// before it is still read, so the removal takes away what it can prove.
TEST(Record, TheReaderStopsAtWhatItCannotAccountFor)
{
    const std::string good = "FILE\tC:\\T\\a.dat\tnew\r\n";
    const struct {
        const char* name;
        std::string record;
        uint32_t visited, bad;
    } cases[] = {
        {"empty", "", 0, 1},
        {"no signature", good, 0, 1},
        {"whole", Signature() + good + good, 2, 0},
        // A kill or a power cut while a line is written: the record ends
        // before it, and is whole.
        {"cut inside the last line", Signature() + good + "FILE\tC:\\T\\b.d", 1, 0},
        {"cut before its CR LF", Signature() + good + "DIR\tC:\\T\r", 1, 0},
        {"zeros where a power cut lost the last line", Signature() + good + std::string(40, '\0'), 1, 0},
        {"cut inside the signature", "Tovarin removal", 0, 1},
        {"no CR", Signature() + "FILE\tC:\\T\\a.dat\tnew\n", 0, 2},
        {"unknown word", Signature() + good + "ERASE\tC:\\WINDOWS\r\n" + good, 1, 3},
        {"wrong flag", Signature() + "FILE\tC:\\T\\a.dat\tmaybe\r\n", 0, 2},
        {"extra field", Signature() + "DIR\tC:\\T\tC:\\U\r\n", 0, 2},
        {"relative", Signature() + "FILE\t..\\WIN.INI\tnew\r\n", 0, 2},
        {"dot dot", Signature() + "TEMPLATE\tC:\\T\\..\\..\\WINDOWS\\WIN.INI\t0-0\r\n", 0, 2},
        {"template without fingerprint", Signature() + "TEMPLATE\tC:\\W\\default.tvd\r\n", 0, 2},
        {"NUL inside", Signature() + std::string("DIR\tC:\\T\0x\r\n", 12), 0, 2},
        {"a line after the PLACED line with no fingerprint", Signature() + "PLACED\tC:\\T\\a.dat\tCBF43926\r\n", 0, 2},
        {"fingerprint in lower case", Signature() + "PLACED\tC:\\T\\a.dat\tcbf43926-9\r\n", 0, 2},
        {"fingerprint with a size over 32 bits", Signature() + "PLACED\tC:\\T\\a.dat\tCBF43926-99999999999\r\n", 0, 2},
        {"overlong", Signature() + "DIR\tC:\\" + std::string(2000, 'x') + "\r\n", 0, 2},
        {"empty line", Signature() + "\r\n" + good, 0, 2},
        {"CR inside a field", Signature() + "ITEM\tTovarin\tRead\rme\r\n", 0, 2},
        // Read here in 1252: a path written in another code page names
        // other files in this one; plain ASCII names the same.
        {"the reader's code page", Signature() + "CODEPAGE\t1252\r\n" + "FILE\tC:\\\xE4\\a\tnew\r\n", 2, 0},
        {"another code page, ASCII paths", Signature() + "CODEPAGE\t932\r\n" + good + good, 3, 0},
        {"another code page's path", Signature() + "CODEPAGE\t932\r\n" + good + "FILE\tC:\\\x83\x5C\\a\tnew\r\n", 2, 4},
        {"another code page's group", Signature() + "CODEPAGE\t950\r\n" + "GROUP\t\xA5\x5B\tnew\r\n", 1, 3},
        {"an older Setup's lines before the first", Signature() + "FILE\tC:\\\xE4\\a\tnew\r\n" + "CODEPAGE\t1252\r\n", 2, 0},
        {"back in the reader's code page", Signature() + "CODEPAGE\t932\r\nCODEPAGE\t1252\r\n" + "FILE\tC:\\\xE4\\a\tnew\r\n", 3, 0},
        {"code page zero", Signature() + "CODEPAGE\t0\r\n", 0, 2},
        {"code page with a leading zero", Signature() + "CODEPAGE\t0932\r\n", 0, 2},
        {"code page over 65535", Signature() + "CODEPAGE\t65536\r\n", 0, 2},
        {"code page not a number", Signature() + "CODEPAGE\t93x\r\n", 0, 2},
        {"code page empty", Signature() + "CODEPAGE\t\r\n", 0, 2},
        {"a commit with a field", Signature() + "COMMIT\tC:\\T\r\n", 0, 2},
    };
    for (const auto& c : cases) {
        std::vector<Line> read;
        uint32_t bad = 99;
        EXPECT_EQ(ReadRecord(c.record.data(), c.record.size(), Collect, &read, &bad), c.visited) << c.name;
        EXPECT_EQ(bad, c.bad) << c.name;
    }
}

TEST(Record, PathsInsideTheDestination)
{
    const struct {
        const char* path;
        const char* dir;
        int inside;
    } cases[] = {
        {"C:\\Tovarin\\a.dat", "C:\\Tovarin", 1},
        {"c:\\TOVARIN\\GUIDE\\guide.hlp", "C:\\Tovarin\\", 1},
        {"C:\\Tovarin", "C:\\Tovarin", 0},
        {"C:\\Tovarin2\\a.dat", "C:\\Tovarin", 0},
        {"C:\\WINDOWS\\WIN.INI", "C:\\Tovarin", 0},
        {"C:\\a.dat", "C:\\", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsInsideDirectory(c.path, c.dir), c.inside) << c.path << " in " << c.dir;
}

// The fingerprint that tells whether the template is still the one Setup
// placed: the standard CRC-32 check value, and a block-by-block feed that
// gives the same.
TEST(Record, Fingerprints)
{
    char out[24];
    FileFingerprint(reinterpret_cast<const uint8_t*>("123456789"), 9, out);
    EXPECT_STREQ(out, "CBF43926-9");
    FileFingerprint(nullptr, 0, out);
    EXPECT_STREQ(out, "00000000-0");
    uint32_t crc = UpdateCrc32(0xFFFFFFFFu, reinterpret_cast<const uint8_t*>("1234"), 4);
    crc = UpdateCrc32(crc, reinterpret_cast<const uint8_t*>("56789"), 5);
    FormatFingerprint(crc, 4000000000u, out);
    EXPECT_STREQ(out, "CBF43926-4000000000");
}
