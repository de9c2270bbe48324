// The finish page's list of what a run left undone: every file passed over
// by name, the rest counted, then the other things in their order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "wizard/undone.h"

namespace {

struct Expected {
    int stringId;
    std::string text;   // "" for none
    uint32_t number;
};

std::vector<Expected> Lines(const RunReport& report) {
    std::vector<Expected> lines;
    UndoneLine line;
    for (uint32_t i = 0; UndoneLineAt(&report, i, &line); ++i) {
        lines.push_back({line.stringId, line.text ? line.text : "", line.number});
        if (i > 2000) break;   // a list that never ends
    }
    return lines;
}

bool operator==(const Expected& a, const Expected& b) {
    return a.stringId == b.stringId && a.text == b.text && a.number == b.number;
}

void PrintTo(const Expected& e, std::ostream* out) {
    *out << "{" << e.stringId << ", \"" << e.text << "\", " << e.number << "}";
}

TEST(Undone, LinesOfTheFinishPage) {
    struct Case {
        const char* name;
        uint32_t undone;
        int files;              // NoteIgnoredFile calls
        size_t nameLength;      // of each file's name
        const char* templatePath;
        std::vector<Expected> lines;
    };
    // The name of the i-th file of 200 characters: ten of them fill the list.
    auto F = [](int i) { return std::string(200, char('0' + i)); };
    const Case cases[] = {
        {"nothing", 0, 0, 0, "", {}},
        {"two files", 0, 2, 5, "", {{IDS_UNDONE_FILE, "00000", 0}, {IDS_UNDONE_FILE, "11111", 0}}},
        {"more files than the list holds", 0, 12, 200, "",
         {{IDS_UNDONE_FILE, F(0), 0}, {IDS_UNDONE_FILE, F(1), 0}, {IDS_UNDONE_FILE, F(2), 0},
          {IDS_UNDONE_FILE, F(3), 0}, {IDS_UNDONE_FILE, F(4), 0}, {IDS_UNDONE_FILE, F(5), 0},
          {IDS_UNDONE_FILE, F(6), 0}, {IDS_UNDONE_FILE, F(7), 0}, {IDS_UNDONE_FILE, F(8), 0},
          {IDS_UNDONE_FILE, F(9), 0}, {IDS_UNDONE_MORE_FILES, "", 2}}},
        {"template in the destination", kUndoneTemplate, 0, 0, "C:\\Dest\\default.tvd",
         {{IDS_UNDONE_TEMPLATE, "C:\\Dest\\default.tvd", 0}}},
        {"template nowhere", kUndoneTemplate, 0, 0, "", {{IDS_UNDONE_TEMPLATE_LOST, "", 0}}},
        {"everything", kUndoneGroup | kUndoneTemplate | kUndoneCtl3d | kUndoneRegistry | kUndoneRecord, 1, 3,
         "C:\\T\\default.tvd",
         {{IDS_UNDONE_FILE, "000", 0}, {IDS_UNDONE_GROUP, "", 0},
          {IDS_UNDONE_TEMPLATE, "C:\\T\\default.tvd", 0}, {IDS_UNDONE_CTL3D, "", 0},
          {IDS_UNDONE_REGISTRY, "", 0}, {IDS_UNDONE_RECORD, "", 0}}},
        {"library at the next start", kCtl3dAtRestart, 0, 0, "", {{IDS_CTL3D_AT_RESTART, "", 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunReport report = {};
        report.undone = c.undone;
        for (int i = 0; i < c.files; ++i)
            NoteIgnoredFile(&report, std::string(c.nameLength, char('0' + i % 10)).c_str());
        std::string path = c.templatePath;
        path.copy(report.templatePath, path.size());
        EXPECT_EQ(Lines(report), c.lines);
    }
}

}  // namespace
