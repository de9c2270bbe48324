// Where dialogs go: centred, or 160 pixels above the bottom of the area.
#include <gtest/gtest.h>

#include "shell/placement.h"

namespace {

TEST(Placement, Positions) {
    struct Case { int mode, areaW, areaH, w, h, x, y; } cases[] = {
        {1, 1024, 749, 400, 300, 312, 224},
        {2, 1024, 749, 400, 300, 312, 589},
        {1, 1024, 749, 401, 301, 311, 224},    // odd differences truncate
        {2, 1024, 749, 401, 100, 311, 589},    // the height plays no part
        {1, 1024, 749, 1100, 800, -38, -25},   // larger than the area
        {1, 1024, 749, 1101, 750, -38, 0},     // -77 / 2 and -1 / 2 truncate toward zero
        {2, 1024, 749, 1103, 900, -39, 589},
        {2, 640, 100, 640, 40, 0, -60},
        {1, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " " << c.w << "x" << c.h);
        int x = 12345, y = 12345;
        EXPECT_EQ(PlacementPosition(c.mode, c.areaW, c.areaH, c.w, c.h, &x, &y), 1);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
}

TEST(Placement, OtherModesLeaveTheDialogWhereItIs) {
    for (int mode : {0, 3, -1, 100}) {
        int x = 7, y = 9;
        EXPECT_EQ(PlacementPosition(mode, 1024, 749, 400, 300, &x, &y), 0) << mode;
    }
}

}  // namespace
