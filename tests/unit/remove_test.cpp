// The removal program's decisions: which recorded files it may delete,
// the order of the directories, the line it adds to WININIT.INI, the plan
// it makes of a record, and the command line between its two processes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "remove/arguments.h"
#include "remove/plan.h"
#include "remove/wininit.h"

namespace {

// ---- Which files are Setup's to delete --------------------------------------

struct VerdictCase {
    const char* path;
    const char* dest;
    FileVerdict verdict;
};

const VerdictCase kVerdicts[] = {
    {"C:\\TOVARIN\\tovarin.exe", "C:\\TOVARIN", kRemoveFile},
    {"c:\\tovarin\\GUIDE\\guide.hlp", "C:\\Tovarin\\", kRemoveFile},
    {"C:\\WINDOWS\\WIN.INI", "C:\\TOVARIN", kOutsideDest},
    {"C:\\TOVARINX\\a.txt", "C:\\TOVARIN", kOutsideDest},          // a sibling that starts alike
    {"C:\\TOVARIN", "C:\\TOVARIN", kOutsideDest},                  // the directory itself
    {"C:\\TOVARIN\\..\\WINDOWS\\WIN.INI", "C:\\TOVARIN", kOutsideDest},
    {"D:\\TOVARIN\\tovarin.exe", "C:\\TOVARIN", kOutsideDest},
    {"C:\\TOVARIN\\ctl3d32.dll", "C:\\TOVARIN", kSystemLibrary},
    {"C:\\TOVARIN\\SYS\\CTL3D32.DLL", "C:\\TOVARIN", kSystemLibrary},
    {"C:\\WINDOWS\\SYSTEM32\\ctl3d32.dll", "C:\\TOVARIN", kOutsideDest},
    {"C:\\TOVARIN\\TVREMOVE.EXE", "C:\\TOVARIN", kRemovalProgram},
    {"C:\\TOVARIN\\tvremove.log", "C:\\TOVARIN", kRemovalProgram},
    {"C:\\TOVARIN\\SUB\\tvremove.exe", "C:\\TOVARIN", kRemoveFile},  // not the program: only its own copy is
    {"C:\\", "C:\\", kOutsideDest},
};

TEST(RemovePlan, JudgesEveryRecordedFileAgainstTheDestination)
{
    for (const VerdictCase& c : kVerdicts) {
        SCOPED_TRACE(std::string(c.path) + " in " + c.dest);
        EXPECT_EQ(JudgeFile(c.path, c.dest), c.verdict);
    }
}

// ---- Directories deepest first ---------------------------------------------------

TEST(RemovePlan, OrdersDirectoriesDeepestFirstKeepingTheRecordsOrder)
{
    struct Case {
        std::vector<const char*> in, out;
    } cases[] = {
        {{"C:\\T", "C:\\T\\A", "C:\\T\\A\\B"}, {"C:\\T\\A\\B", "C:\\T\\A", "C:\\T"}},
        {{"C:\\T\\A\\B", "C:\\T"}, {"C:\\T\\A\\B", "C:\\T"}},
        {{"C:\\T", "C:\\T\\X", "C:\\T\\Y", "C:\\T\\X\\Z"}, {"C:\\T\\X\\Z", "C:\\T\\X", "C:\\T\\Y", "C:\\T"}},
        // A second installation into the same directory records it again.
        {{"C:\\T", "C:\\T\\A", "C:\\T", "C:\\T\\A"}, {"C:\\T\\A", "C:\\T\\A", "C:\\T", "C:\\T"}},
        {{}, {}},
    };
    for (auto& c : cases) {
        std::vector<const char*> paths = c.in;
        OrderDeepestFirst(paths.data(), static_cast<uint32_t>(paths.size()));
        ASSERT_EQ(paths.size(), c.out.size());
        for (size_t i = 0; i < paths.size(); ++i)
            EXPECT_STREQ(paths[i], c.out[i]) << "at " << i;
    }
}

// ---- The plan of a record -----------------------------------------------------------

TEST(RemovePlan, HoldsTheLinesBeforeTheFirstOneItCannotAccountFor)
{
    struct Case {
        const char* record;
        uint32_t lines, badLine;
    } cases[] = {
        {"Tovarin removal record 1\r\nDIR\tC:\\T\r\nFILE\tC:\\T\\a.exe\tnew\r\n", 2, 0},
        {"Tovarin removal record 1\r\nDIR\tC:\\T\r\nFILE\tC:\\T\\a.exe\tmaybe\r\nDIR\tC:\\U\r\n", 1, 3},
        // A killed Setup's last line: the record's normal end.
        {"Tovarin removal record 1\r\nVALUE\tHKCR\t.tvd\t\tTovarin.Document\r\nFILE\tC:\\T\\a", 1, 0},
        {"not a record\r\nDIR\tC:\\T\r\n", 0, 1},
        {"", 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        std::string text = c.record;
        std::vector<uint64_t> block(PlanBytes(text.size()) / 8 + 1);
        RemovalPlan plan;
        MakeRemovalPlan(text.data(), text.size(), block.data(), &plan);
        EXPECT_EQ(plan.count, c.lines);
        EXPECT_EQ(plan.badLine, c.badLine);
        EXPECT_LE(plan.count * sizeof(PlanLine) + plan.textsUsed, PlanBytes(text.size()));
    }
}

TEST(RemovePlan, KeepsEveryFieldOfTheLongestLines)
{
    // Lines at the reader's limit, as many as fit: the block must hold them.
    std::string path = "C:\\T\\" + std::string(240, 'a');
    std::string record = "Tovarin removal record 1\r\n";
    for (int i = 0; i < 50; ++i)
        record += "FILE\t" + path + "\tover\r\nITEM\tg\th\r\n";
    std::vector<uint64_t> block(PlanBytes(record.size()) / 8 + 1);
    RemovalPlan plan;
    MakeRemovalPlan(record.data(), record.size(), block.data(), &plan);
    ASSERT_EQ(plan.count, 100u);
    EXPECT_EQ(plan.badLine, 0u);
    EXPECT_EQ(plan.lines[98].field[0], path);
    EXPECT_EQ(plan.lines[98].flag, 1);
    EXPECT_STREQ(plan.lines[99].field[1], "h");
}

// ---- What is still Setup's -----------------------------------------------------

// Which fingerprint decides a file, over records of one or two
// installations: the PLACED line after the file's last FILE line, or none.
TEST(RemovePlan, TheLastInstallationsFingerprintDecidesAFile)
{
    const std::string sig = "Tovarin removal record 1\r\n";
    const std::string file = "FILE\tC:\\T\\a.doc\tnew\r\n", over = "FILE\tC:\\T\\A.DOC\tover\r\n";
    const std::string placed1 = "PLACED\tC:\\T\\a.doc\t11111111-5\r\n", placed2 = "PLACED\tC:\\T\\a.doc\t22222222-6\r\n";
    const std::string other = "PLACED\tC:\\T\\b.doc\t33333333-7\r\n";
    struct Case {
        const char* name;
        std::string record;
        uint32_t fileLine;        // the FILE line asked about
        int last;
        const char* fingerprint;  // null: none
    } cases[] = {
        {"placed", sig + file + placed1, 0, 1, "11111111-5"},
        {"killed before the file was in place", sig + file, 0, 1, nullptr},
        {"another file's fingerprint", sig + file + other, 0, 1, nullptr},
        {"placed again by a second installation", sig + file + placed1 + over + placed2, 2, 1, "22222222-6"},
        {"the first installation's line defers", sig + file + placed1 + over + placed2, 0, 0, "11111111-5"},
        {"the second one killed before its file was in place", sig + file + placed1 + over, 2, 1, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint64_t> block(PlanBytes(c.record.size()) / 8 + 1);
        RemovalPlan plan;
        MakeRemovalPlan(c.record.data(), c.record.size(), block.data(), &plan);
        ASSERT_EQ(plan.badLine, 0u);
        ASSERT_EQ(plan.lines[c.fileLine].kind, kRecordFile);
        EXPECT_EQ(IsLastFileLine(&plan, c.fileLine), c.last);
        const char* fingerprint = PlacedFingerprint(&plan, c.fileLine);
        if (c.fingerprint == nullptr)
            EXPECT_EQ(fingerprint, nullptr);
        else
            EXPECT_STREQ(fingerprint, c.fingerprint);
    }
}

// A record is outside input: what its TEMP, TEMPLATE, GROUP and ITEM lines
// name is taken only when it is what Setup itself would have written.
TEST(RemovePlan, TakesFromARecordOnlyWhatSetupWouldHaveWritten)
{
    const char* dest = "C:\\TOVARIN";
    struct TempCase {
        const char* path;
        FileVerdict verdict;
    } temps[] = {
        {"C:\\TOVARIN\\~tv0a1f.tmp", kRemoveFile},
        {"C:\\TOVARIN\\GUIDE\\~TVFFFF.TMP", kRemoveFile},
        {"C:\\TOVARIN\\letter.doc", kNotTemporaryName},
        {"C:\\TOVARIN\\tovarin.exe.~tv", kNotTemporaryName},   // an earlier file set aside: the user's data
        {"C:\\TOVARIN\\~tv0a1f.tmpx", kNotTemporaryName},
        {"C:\\WINDOWS\\~tv0a1f.tmp", kOutsideDest},
    };
    for (const auto& c : temps)
        EXPECT_EQ(JudgeTemporary(c.path, dest), c.verdict) << c.path;

    const char* folders[] = {"C:\\WINDOWS\\ShellNew", "C:\\WINDOWS\\Profiles\\ann\\Templates"};
    struct TemplateCase {
        const char* path;
        int own;
    } templates[] = {
        {"C:\\WINDOWS\\ShellNew\\default.tvd", 1},
        {"c:\\windows\\shellnew\\DEFAULT.TVD", 1},
        {"C:\\WINDOWS\\Profiles\\ann\\Templates\\default.tvd", 1},
        {"C:\\WINDOWS\\SYSTEM\\x.dll", 0},
        {"C:\\WINDOWS\\ShellNew\\other.tvd", 0},
        {"C:\\WINDOWS\\ShellNew\\SUB\\default.tvd", 0},
        {"C:\\WINDOWS\\default.tvd", 0},
    };
    for (const auto& c : templates)
        EXPECT_EQ(IsOwnTemplatePath(c.path, folders, 2), c.own) << c.path;
    EXPECT_EQ(IsOwnTemplatePath("C:\\WINDOWS\\ShellNew\\default.tvd", folders, 0), 0);

    struct NameCase {
        const char* name;
        int safe;
    } names[] = {
        {"Tovarin95 Demo", 1},
        {"Tovarin (D:\\APPS\\TOVARIN)", 1},
        {"X\")][DeleteGroup(\"StartUp", 0},
        {"a]b", 0},
        {"", 0},
    };
    for (const auto& c : names)
        EXPECT_EQ(IsRecordedNameSafe(c.name), c.safe) << c.name;

    EXPECT_EQ(IsSettingsFile("C:\\TOVARIN\\tovarin.tvs"), 1);
    EXPECT_EQ(IsSettingsFile("C:\\TOVARIN\\SAMPLES\\Print.TVS"), 1);
    EXPECT_EQ(IsSettingsFile("C:\\TOVARIN\\tvs"), 0);
    EXPECT_EQ(IsSettingsFile("C:\\TOVARIN.TVS\\letter.doc"), 0);
}

// What another installation keeps in a key or group this one made: then
// the line is handed over instead of left to nobody.
TEST(RemovePlan, WhatAnotherInstallationKeepsInAKeyOrGroup)
{
    const PlanLine key = {kRecordKey, 0, {"HKCR", "tvdfile", "", ""}};
    const PlanLine group = {kRecordGroup, 1, {"Tovarin95 Demo", "", "", ""}};
    struct Case {
        const PlanLine* owner;
        RecordLine other;
        int holds;
    } cases[] = {
        {&key, {kRecordValue, 0, {"HKCR", "tvdfile\\shell\\open\\command", "", "d:\\t\\tovarin.exe"}}, 1},
        {&key, {kRecordValue, 0, {"hkcr", "TVDFILE", "", "Tovarin Document"}}, 1},
        {&key, {kRecordKey, 0, {"HKCR", "tvdfile\\DefaultIcon", "", ""}}, 1},
        {&key, {kRecordValue, 0, {"HKCR", "tvdfile2", "", "x"}}, 0},          // a sibling that starts alike
        {&key, {kRecordValue, 0, {"HKLM", "tvdfile\\shell", "", "x"}}, 0},  // another root
        {&key, {kRecordItem, 0, {"tvdfile", "x", "", ""}}, 0},
        {&group, {kRecordItem, 0, {"tovarin95 demo", "Tovarin (D-Tovarin)", "", ""}}, 1},
        {&group, {kRecordGroup, 0, {"Tovarin95 Demo", "", "", ""}}, 1},
        {&group, {kRecordItem, 0, {"Accessories", "Tovarin", "", ""}}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LineHolds(c.owner, &c.other), c.holds) << c.other.field[0] << " " << c.other.field[1];
}

// The exit code a caller of the removal reads.
TEST(RemovePlan, ExitCodes)
{
    struct Case {
        const char* name;
        RemovalOutcome outcome;
        RemovalExit code;
    } cases[] = {
        {"no record", {0, 0, 0, 0, 0}, kExitNothingRemoved},
        {"everything", {1, 0, 12, 0, 0}, kExitRemoved},
        {"nothing left to take", {1, 0, 0, 0, 0}, kExitRemoved},
        {"cancelled", {1, 1, 3, 0, 0}, kExitStopped},
        {"a file that would not go", {1, 0, 11, 1, 0}, kExitRemovedInPart},
        {"a damaged line after the first", {1, 0, 4, 0, 7}, kExitRemovedInPart},
        {"damaged before anything could be taken", {1, 0, 0, 0, 2}, kExitNothingRemoved},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RemovalExitCode(&c.outcome), c.code) << c.name;
}

// ---- WININIT.INI ---------------------------------------------------------------------

TEST(Wininit, AddsOneNulLineAtTheEndOfTheRenameSection)
{
    struct Case {
        const char* before;
        const char* after;
    } cases[] = {
        {"", "[rename]\r\nNUL=C:\\TOVARIN\\TOVARIN.EXE\r\n"},
        {"[rename]\r\nNUL=C:\\A.TMP\r\n", "[rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\TOVARIN\\TOVARIN.EXE\r\n"},
        {"[Rename]\r\nNUL=C:\\A.TMP\r\n\r\n[other]\r\nx=1\r\n",
         "[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\TOVARIN\\TOVARIN.EXE\r\n\r\n[other]\r\nx=1\r\n"},
        {"[other]\r\nx=1", "[other]\r\nx=1\r\n[rename]\r\nNUL=C:\\TOVARIN\\TOVARIN.EXE\r\n"},
        {"[rename]", "[rename]\r\nNUL=C:\\TOVARIN\\TOVARIN.EXE\r\n"},
        {"[renamed]\r\na=b\r\n", "[renamed]\r\na=b\r\n[rename]\r\nNUL=C:\\TOVARIN\\TOVARIN.EXE\r\n"},
        {"[rename]\nC:\\NEW.DLL=C:\\OLD.DLL\n[x]\n", "[rename]\nC:\\NEW.DLL=C:\\OLD.DLL\nNUL=C:\\TOVARIN\\TOVARIN.EXE\r\n[x]\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        std::string before = c.before;
        char out[512];
        size_t n = AddWininitDelete(before.data(), before.size(), "C:\\TOVARIN\\TOVARIN.EXE", out, sizeof out);
        EXPECT_EQ(std::string(out, n), c.after);
    }
}

TEST(Wininit, RefusesWhatDoesNotFitOrIsNoPath)
{
    std::string before = "[rename]\r\nNUL=C:\\A.TMP\r\n";
    char out[64];
    std::string expected = before + "NUL=C:\\B.TMP\r\n";
    EXPECT_EQ(AddWininitDelete(before.data(), before.size(), "C:\\B.TMP", out, expected.size()), expected.size());
    EXPECT_EQ(AddWininitDelete(before.data(), before.size(), "C:\\B.TMP", out, expected.size() - 1), 0u);
    EXPECT_EQ(AddWininitDelete(before.data(), before.size(), "", out, sizeof out), 0u);
    EXPECT_EQ(AddWininitDelete(before.data(), before.size(), "C:\\B\r\n[boot]", out, sizeof out), 0u);
}

// ---- The command line ----------------------------------------------------------------

TEST(RemoveArguments, ReadsBothFormsAndRefusesOthers)
{
    struct Case {
        const char* tail;
        int valid, quiet, copy;
        uint32_t event, process;
        const char* dest;
    } cases[] = {
        {"", 1, 0, 0, 0, 0, ""},
        {"/quiet", 1, 1, 0, 0, 0, ""},
        {"  -QUIET  ", 1, 1, 0, 0, 0, ""},
        {"/quietly", 0, 0, 0, 0, 0, ""},
        {"C:\\TOVARIN", 0, 0, 0, 0, 0, ""},
        {"/copy 12 34 5 \"C:\\Program Files\\Tovarin\"", 1, 0, 1, 12, 34, "C:\\Program Files\\Tovarin"},
        {"/copy 12 34 5 /quiet \"C:\\T\\\"", 1, 1, 1, 12, 34, "C:\\T"},
        {"/copy 12 34 5 C:\\", 1, 0, 1, 12, 34, "C:\\"},
        {"/copy 12 \"C:\\T\"", 0, 0, 1, 12, 0, ""},
        {"/copy 12 34 5", 0, 0, 1, 12, 34, ""},
        {"/copy 12 34 C:\\T", 0, 0, 1, 12, 34, ""},   // no result pipe
        {"/copy 12 34 5 \"C:\\T", 0, 0, 1, 12, 34, ""},
        {"/copy 99999999999 34 C:\\T", 0, 0, 1, 0, 0, ""},
        {"/recover", 1, 0, 0, 0, 0, ""},
        {" -RECOVER ", 1, 0, 0, 0, 0, ""},
        {"/recover /quiet", 0, 0, 0, 0, 0, ""},
        {"/recovery", 0, 0, 0, 0, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail);
        RemoveArguments a;
        EXPECT_EQ(ParseRemoveArguments(c.tail, &a), c.valid);
        if (!c.valid)
            continue;
        EXPECT_EQ(a.recover, std::string(c.tail).find("ECOVER") != std::string::npos ||
                                 std::string(c.tail).find("ecover") != std::string::npos);
        EXPECT_EQ(a.quiet, c.quiet);
        EXPECT_EQ(a.copy, c.copy);
        EXPECT_EQ(a.event, c.event);
        EXPECT_EQ(a.process, c.process);
        EXPECT_STREQ(a.destDir, c.dest);
    }
}

TEST(RemoveArguments, TheCopysCommandLineReadsBack)
{
    const char* dests[] = {"C:\\TOVARIN", "C:\\Program Files\\Tovarin", "C:\\"};
    for (const char* dest : dests) {
        for (int quiet = 0; quiet < 2; ++quiet) {
            char line[600];
            ASSERT_NE(FormatCopyCommand("C:\\WINDOWS\\TEMP\\tvremove.exe", 4294967295u, 7, 9, quiet, dest, line,
                                        sizeof line), 0u);
            std::string text = line;
            std::string program = "\"C:\\WINDOWS\\TEMP\\tvremove.exe\" ";
            ASSERT_EQ(text.rfind(program, 0), 0u) << text;
            RemoveArguments a;
            ASSERT_EQ(ParseRemoveArguments(line + program.size(), &a), 1) << text;
            EXPECT_EQ(a.event, 4294967295u);
            EXPECT_EQ(a.process, 7u);
            EXPECT_EQ(a.result, 9u);
            EXPECT_EQ(a.quiet, quiet);
            EXPECT_STREQ(a.destDir, dest);
        }
    }
}

}  // namespace
