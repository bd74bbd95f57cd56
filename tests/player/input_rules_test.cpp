#include "app/input_rules.h"

#include <gtest/gtest.h>

TEST(CursorInsideControl, OutermostPixelsAndEmptyControlsAreOutside) {
    const ControlRect time{155, 132, 55, 20};
    struct Case { int x, y; bool inside; };
    const Case cases[] = {{155, 140, false}, {210, 140, false}, {180, 132, false}, {180, 152, false},
                          {156, 133, true},  {209, 151, true},  {-1, -1, false}};
    for (const Case& c : cases) EXPECT_EQ(CursorInsideControl(c.x, c.y, time), c.inside) << c.x << "," << c.y;
    EXPECT_FALSE(CursorInsideControl(0, 0, ControlRect{}));
    EXPECT_FALSE(CursorInsideControl(5, 5, ControlRect{5, 5, 1, 1}));
}

TEST(WheelStep, OneStepPerEventWhateverTheDeltaOrKeys) {
    // The delta is the signed high word; key bits and (on 64-bit) sign-extended upper bits
    // must not change the direction. A zero delta counts as down.
    struct Case { uint64_t wParam; int step; };
    const Case cases[] = {{0x00780000ull, 1},  {0x00F00000ull, 1},  {0x00010000ull, 1}, {0xFF880000ull, -1},
                          {0x80000000ull, -1}, {0x00000000ull, -1}, {0x0078FFFFull, 1}, {0xFF880008ull, -1},
                          {0xFFFFFFFFFF880000ull, -1}, {0xFFFFFFFF00780000ull, 1}};
    for (const Case& c : cases) EXPECT_EQ(WheelStep(c.wParam), c.step) << std::hex << c.wParam;
}

TEST(Hover, EnteringShowsHoverOnceAndLeavingShowsNormalOnce) {
    struct Case { bool inside; int flag; int newFlag; HoverChange change; };
    const Case cases[] = {{true, 0, 1, HoverChange::ShowHover}, {true, 1, 1, HoverChange::None},
                          {false, 1, 0, HoverChange::ShowNormal}, {false, 0, 0, HoverChange::None}};
    for (const Case& c : cases) {
        const HoverDecision d = DecideHover(c.inside, c.flag);
        EXPECT_EQ(d.flag, c.newFlag);
        EXPECT_EQ(d.change, c.change);
    }
}
