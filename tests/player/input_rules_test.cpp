#include "app/input_rules.h"

#include <gtest/gtest.h>

TEST(CursorInsideControl, OutermostPixelsCountAsOutside) {
    const ControlRect time{155, 132, 55, 20};
    EXPECT_FALSE(CursorInsideControl(155, 140, time)); // left column
    EXPECT_FALSE(CursorInsideControl(210, 140, time)); // one past the right edge
    EXPECT_FALSE(CursorInsideControl(180, 132, time)); // top row
    EXPECT_FALSE(CursorInsideControl(180, 152, time)); // one past the bottom
    EXPECT_TRUE(CursorInsideControl(156, 133, time));
    EXPECT_TRUE(CursorInsideControl(209, 151, time));
}

TEST(CursorInsideControl, CursorOutsideTheWindowIsNeverInside) {
    const ControlRect corner{0, 0, 10, 10};
    EXPECT_FALSE(CursorInsideControl(-1, -1, corner));
    EXPECT_FALSE(CursorInsideControl(-1, 5, corner));
}

TEST(CursorInsideControl, EmptyControlHasNoInside) {
    EXPECT_FALSE(CursorInsideControl(0, 0, ControlRect{}));
    EXPECT_FALSE(CursorInsideControl(5, 5, ControlRect{5, 5, 1, 1}));
}

namespace {
uint64_t WheelParam(int16_t delta, uint16_t keys = 0) {
    return (static_cast<uint64_t>(static_cast<uint16_t>(delta)) << 16) | keys;
}
} // namespace

TEST(WheelStep, OneStepPerEventWhateverTheDelta) {
    EXPECT_EQ(WheelStep(WheelParam(120)), 1);
    EXPECT_EQ(WheelStep(WheelParam(240)), 1);
    EXPECT_EQ(WheelStep(WheelParam(1)), 1);
    EXPECT_EQ(WheelStep(WheelParam(-120)), -1);
    EXPECT_EQ(WheelStep(WheelParam(-32768)), -1);
}

TEST(WheelStep, ZeroDeltaCountsAsDown) {
    EXPECT_EQ(WheelStep(WheelParam(0)), -1);
}

TEST(WheelStep, KeyStateBitsAndUpperBitsDoNotChangeTheDirection) {
    EXPECT_EQ(WheelStep(WheelParam(120, 0xFFFF)), 1);
    EXPECT_EQ(WheelStep(WheelParam(-120, 0x0008)), -1);
    // On 64-bit Windows wParam may carry sign-extended upper bits.
    EXPECT_EQ(WheelStep(0xFFFFFFFFFF880000ull), -1);
    EXPECT_EQ(WheelStep(0xFFFFFFFF00780000ull), 1);
}

TEST(Hover, EnteringShowsHoverOnceAndLeavingShowsNormalOnce) {
    HoverDecision enter = DecideHover(true, 0);
    EXPECT_EQ(enter.flag, 1);
    EXPECT_EQ(enter.change, HoverChange::ShowHover);

    HoverDecision stay = DecideHover(true, enter.flag);
    EXPECT_EQ(stay.flag, 1);
    EXPECT_EQ(stay.change, HoverChange::None);

    HoverDecision leave = DecideHover(false, stay.flag);
    EXPECT_EQ(leave.flag, 0);
    EXPECT_EQ(leave.change, HoverChange::ShowNormal);

    HoverDecision away = DecideHover(false, leave.flag);
    EXPECT_EQ(away.flag, 0);
    EXPECT_EQ(away.change, HoverChange::None);
}
