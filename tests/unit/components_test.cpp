// The component model: the bit / index / check-box table, and requiredBytes
// following the selection through long runs of clicks.
#include <gtest/gtest.h>

#include <string.h>

#include <random>

#include "catalogue/options.h"

namespace {

struct Row { uint32_t bit; int index; int control; };

const Row kTable[] = {
    {0x1, 0, -1},      {0x2, 1, 10},      {0x4, 2, 11},      {0x8, 3, 12},
    {0x10, 4, 13},     {0x20, 5, 14},     {0x40, 6, 15},     {0x80, 7, 16},
    {0x100, 8, 30},    {0x200, 9, 31},    {0x400, 10, 32},   {0x800, 11, 33},
    {0x1000, 12, 34},  {0x2000, 13, 35},  {0x4000, 14, 36},  {0x8000, 15, 37},
    {0x10000, 16, 38}, {0x20000, 17, 39},
};

TEST(Components, TableBothWays) {
    for (const Row& r : kTable) {
        SCOPED_TRACE(r.bit);
        EXPECT_EQ(ComponentIndex(r.bit), r.index);
        EXPECT_EQ(ComponentControlId(r.bit), r.control);
        if (r.control >= 0) EXPECT_EQ(ControlComponentBit(r.control), r.bit);
    }
}

TEST(Components, ValuesOutsideTheTable) {
    for (uint32_t mask : {0u, 3u, 0x6u, 0x300u, 0x40000u, 0x80000u, 0x100000u, 0x80000000u,
                          0xFFFFFu, 0xFFFFFFFFu}) {
        SCOPED_TRACE(mask);
        EXPECT_EQ(ComponentIndex(mask), 0);
        EXPECT_EQ(ComponentControlId(mask), -1);
    }
    for (int id : {-1, 0, 1, 2, 9, 17, 18, 19, 20, 21, 29, 40, 100, 0x7FFFFFFF}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(ControlComponentBit(id), 0xFFFFFFFFu);
    }
}

TEST(Components, ToggleFlipsOnlyItsBit) {
    uint32_t mask = 0xFFFFF;
    ToggleComponent(&mask, 0x10);
    EXPECT_EQ(mask, 0xFFFEFu);
    ToggleComponent(&mask, 0x10);
    EXPECT_EQ(mask, 0xFFFFFu);
    mask = 0;
    ToggleComponent(&mask, 0x20000);
    EXPECT_EQ(mask, 0x20000u);
}

TEST(Components, EffectiveMaskDropsOptionalBitsWhileTheGroupIsOff) {
    InstallOptions o = {};
    o.selectedMask = 0xFFFFF;
    o.optionalGroupOn = 1;
    EXPECT_EQ(EffectiveComponentMask(&o), 0xFFFFFu);
    o.optionalGroupOn = 0;
    EXPECT_EQ(EffectiveComponentMask(&o), 0xC00FFu);
    EXPECT_EQ(o.selectedMask, 0xFFFFFu);
    o.selectedMask = 0x80000102;
    EXPECT_EQ(EffectiveComponentMask(&o), 0x80000002u);
}

InstallOptions Seeded(std::mt19937& rng) {
    InstallOptions o = {};
    for (int k = 0; k < 18; ++k) o.componentBytes[k] = (rng() % 4 == 0) ? 0 : rng() % 50000000;
    o.selectedMask = 0xFFFFF;
    o.optionalGroupOn = 1;
    for (int k = 0; k < 18; ++k) o.requiredBytes += o.componentBytes[k];
    return o;
}

// requiredBytes as the selection says it should be.
uint32_t Required(const InstallOptions& o) {
    uint32_t effective = o.optionalGroupOn ? o.selectedMask : (o.selectedMask & ~0x3FF00u);
    uint32_t sum = o.componentBytes[0];
    for (int k = 1; k < 18; ++k)
        if (effective & (1u << k)) sum += o.componentBytes[k];
    return sum;
}

uint32_t Optional(const InstallOptions& o) {
    uint32_t sum = 0;
    for (int k = 8; k < 18; ++k)
        if (o.selectedMask & (1u << k)) sum += o.componentBytes[k];
    return sum;
}

void Click(InstallOptions* o, int controlId) {
    uint32_t bit = ControlComponentBit(controlId);
    ToggleComponent(&o->selectedMask, bit);
    ApplyComponentToggle(o, bit);
}

// Random clicks on check boxes 10-16, 17 (the group) and 30-39.  The custom
// components page (check boxes 30-39) is reachable only while the group is on:
// button 18 is enabled exactly then.
TEST(Components, RequiredBytesFollowTheSelectionThroughRandomClicks) {
    std::mt19937 rng(20261208);
    for (int run = 0; run < 20; ++run) {
        InstallOptions o = Seeded(rng);
        ASSERT_EQ(o.requiredBytes, Required(o));
        for (int step = 0; step < 5000; ++step) {
            int pick = static_cast<int>(rng() % 18);
            int control = pick < 7 ? 10 + pick : pick == 7 ? 17 : 30 + (pick - 8);
            if (control >= 30 && !o.optionalGroupOn) control = 17;
            if (control == 17) SwitchOptionalGroup(&o); else Click(&o, control);
            ASSERT_EQ(o.requiredBytes, Required(o)) << "run " << run << " step " << step
                                                    << " control " << control;
            ASSERT_EQ(EffectiveComponentMask(&o),
                      o.optionalGroupOn ? o.selectedMask : o.selectedMask & 0xFFFC00FFu);
            ASSERT_EQ(o.selectedMask & 0xFFFC0001u, 0xC0001u);   // base, 0x40000, 0x80000 stay
            ASSERT_EQ(OptionalSelectedBytes(&o), Optional(o));
        }
    }
}

TEST(Components, GroupOffAndOnRestoresSelectionAndBytes) {
    std::mt19937 rng(3);
    InstallOptions o = Seeded(rng);
    o.componentBytes[9] = 1000;
    o.componentBytes[12] = 2000;
    o.componentBytes[17] = 4000;
    o.requiredBytes = Required(o);
    Click(&o, 31);   // 0x200 off
    Click(&o, 39);   // 0x20000 off
    Click(&o, 10);
    const InstallOptions before = o;
    uint32_t optional = OptionalSelectedBytes(&o);
    EXPECT_EQ(optional, Optional(o));
    SwitchOptionalGroup(&o);
    EXPECT_EQ(o.optionalGroupOn, 0u);
    EXPECT_EQ(o.selectedMask, before.selectedMask);
    EXPECT_EQ(o.requiredBytes, before.requiredBytes - optional);
    EXPECT_EQ(OptionalSelectedBytes(&o), optional);   // whatever the group says
    SwitchOptionalGroup(&o);
    EXPECT_EQ(memcmp(&o, &before, sizeof o), 0);
}

TEST(Components, DeselectAndReselectMainComponent) {
    InstallOptions o = {};
    o.componentBytes[0] = 100;
    o.componentBytes[3] = 5000;
    o.componentBytes[5] = 0;   // a component with no files changes nothing
    o.selectedMask = 0xFFFFF;
    o.optionalGroupOn = 1;
    o.requiredBytes = 5100;
    Click(&o, 12);
    EXPECT_EQ(o.requiredBytes, 100u);
    EXPECT_EQ(o.selectedMask, 0xFFFF7u);
    Click(&o, 14);
    EXPECT_EQ(o.requiredBytes, 100u);
    Click(&o, 12);
    Click(&o, 14);
    EXPECT_EQ(o.requiredBytes, 5100u);
    EXPECT_EQ(o.selectedMask, 0xFFFFFu);
}

TEST(Components, ByteFiguresStopInsteadOfWrapping) {
    struct Case { uint32_t a, b, sum, difference; } cases[] = {
        {0, 0, 0, 0},
        {5000, 100, 5100, 4900},
        {100, 5000, 5100, 0},
        {0xFFFFFFFF, 1, 0xFFFFFFFF, 0xFFFFFFFE},
        {0xFFFFFF00, 0x100, 0xFFFFFFFF, 0xFFFFFE00},
        {0xFFFFFF00, 0x101, 0xFFFFFFFF, 0xFFFFFDFF},
        {1, 0xFFFFFFFF, 0xFFFFFFFF, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AddBytes(c.a, c.b), c.sum) << c.a << " + " << c.b;
        EXPECT_EQ(SubtractBytes(c.a, c.b), c.difference) << c.a << " - " << c.b;
    }
    // A figure already below what the pages take away stays at 0 through
    // every deselection, and comes back up when the components do.
    InstallOptions o = {};
    o.componentBytes[1] = 300000;
    o.componentBytes[8] = 200000;
    o.selectedMask = 0xFFFFF;
    o.optionalGroupOn = 1;
    o.requiredBytes = 1000;
    Click(&o, 10);
    EXPECT_EQ(o.requiredBytes, 0u);
    SwitchOptionalGroup(&o);
    EXPECT_EQ(o.requiredBytes, 0u);
    SwitchOptionalGroup(&o);
    Click(&o, 10);
    EXPECT_EQ(o.requiredBytes, 500000u);
}

TEST(Components, BytesToKBRoundsToNearest) {
    struct Case { uint32_t bytes, kb; } cases[] = {
        {0, 0}, {511, 0}, {512, 1}, {1023, 1}, {1024, 1}, {1535, 1}, {1536, 2},
        {1048576, 1024}, {0xFFFFFDFF, 4194303}, {0xFFFFFE00, 4194304}, {0xFFFFFFFF, 4194304},
    };
    for (const Case& c : cases) EXPECT_EQ(BytesToKB(c.bytes), c.kb) << c.bytes;
}

}  // namespace
