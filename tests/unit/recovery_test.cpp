// The recovery of an interrupted run, from the record alone: a begun
// commit rolls forward, a run without one rolls back, and a file new to
// the destination stays only when it is whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "remove/recovery.h"

namespace {

const std::string kSignature = "Tovarin removal record 1\r\n";
const std::string kOver = "FILE\tC:\\T\\a.dll\tover\r\nTEMP\tC:\\T\\~tv0001.tmp\r\n";
const std::string kNew = "FILE\tC:\\T\\b.dat\tnew\r\nTEMP\tC:\\T\\~tv0002.tmp\r\n";
const std::string kPlacedNew = "PLACED\tC:\\T\\b.dat\tCBF43926-9\r\n";
const std::string kPlacedOver = "PLACED\tC:\\T\\a.dll\tCBF43926-12\r\n";

// A step as text: "replace a.dll ~tv0001.tmp", "temp ~tv0002.tmp",
// "new b.dat 9" or "new b.dat -".
std::string Name(const char* path)
{
    std::string p = path;
    return p.substr(p.find_last_of('\\') + 1);
}

std::vector<std::string> Steps(const std::string& record, int* needed)
{
    std::vector<uint64_t> block(PlanBytes(record.size()) / 8 + 1);
    RemovalPlan plan;
    MakeRemovalPlan(record.data(), record.size(), block.data(), &plan);
    *needed = NeedsRecovery(&plan);
    RecoveryStep steps[16];
    uint32_t count = PlanRecovery(&plan, steps, 16);
    std::vector<std::string> out;
    for (uint32_t i = 0; i < count && i < 16; ++i) {
        const RecoveryStep& s = steps[i];
        if (s.kind == kRecoverReplace)
            out.push_back("replace " + Name(s.target) + " " + Name(s.temp));
        else if (s.kind == kRecoverDeleteTemp)
            out.push_back("temp " + Name(s.temp));
        else
            out.push_back("new " + Name(s.target) + " " + (s.hasSize ? std::to_string(s.size) : "-"));
    }
    return out;
}

}  // namespace

TEST(Recovery, RollsABegunCommitForwardAndARunWithoutOneBack)
{
    const struct {
        const char* name;
        std::string record;
        int needed;
        std::vector<std::string> steps;
    } cases[] = {
        {"committed", kSignature + "BEGIN\r\n" + kOver + kNew + kPlacedNew + "COMMIT\r\n" + kPlacedOver +
                          "COMMITTED\r\n",
         0, {}},
        {"killed inside the commit", kSignature + "BEGIN\r\n" + kOver + kNew + kPlacedNew + "COMMIT\r\n", 1,
         {"replace a.dll ~tv0001.tmp", "temp ~tv0002.tmp", "new b.dat 9"}},
        {"killed while staging", kSignature + "BEGIN\r\n" + kOver + kNew, 1,
         {"temp ~tv0001.tmp", "temp ~tv0002.tmp", "new b.dat -"}},
        // A power cut can leave a new file's name without its data: its
        // fingerprint's size tells.
        {"new file placed, before the commit", kSignature + "BEGIN\r\n" + kNew + kPlacedNew, 1,
         {"temp ~tv0002.tmp", "new b.dat 9"}},
        {"a fingerprint over 32 bits is none", kSignature + "BEGIN\r\n" + kNew + "PLACED\tC:\\T\\b.dat\tCBF43926-9999999999\r\n",
         1, {"temp ~tv0002.tmp", "new b.dat -"}},
        // An older Setup staged nothing: its record is never recovered.
        {"no BEGIN", kSignature + kOver + kNew, 0, {}},
        {"an earlier run committed, the last one not", kSignature + "BEGIN\r\n" + kOver + "COMMIT\r\nCOMMITTED\r\n" +
                                                           "BEGIN\r\n" + kNew,
         1, {"temp ~tv0002.tmp", "new b.dat -"}},
        // After the commit line nothing is staged: a later line is no pair.
        {"lines after the commit", kSignature + "BEGIN\r\n" + kOver + "COMMIT\r\n" + kNew, 1,
         {"replace a.dll ~tv0001.tmp"}},
        // A record damaged after the commit line: what reads still rolls forward.
        {"damaged after the commit", kSignature + "BEGIN\r\n" + kOver + "COMMIT\r\nERASE\tC:\\\r\n", 1,
         {"replace a.dll ~tv0001.tmp"}},
        {"a FILE line without its TEMP line", kSignature + "BEGIN\r\nFILE\tC:\\T\\a.dll\tover\r\nCOMMIT\r\n", 1, {}},
    };
    for (const auto& c : cases) {
        int needed = -1;
        EXPECT_EQ(Steps(c.record, &needed), c.steps) << c.name;
        EXPECT_EQ(needed, c.needed) << c.name;
    }
}

TEST(Recovery, CountsStepsBeyondTheCapacity)
{
    std::string record = kSignature + "BEGIN\r\n";
    for (int i = 0; i < 20; ++i)
        record += kOver;
    record += "COMMIT\r\n";
    std::vector<uint64_t> block(PlanBytes(record.size()) / 8 + 1);
    RemovalPlan plan;
    MakeRemovalPlan(record.data(), record.size(), block.data(), &plan);
    RecoveryStep steps[4];
    EXPECT_EQ(PlanRecovery(&plan, steps, 4), 20u);
    EXPECT_EQ(PlanRecovery(&plan, nullptr, 0), 20u);
}
