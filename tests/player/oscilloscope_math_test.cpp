#include "display/oscilloscope_math.h"

#include <gtest/gtest.h>

#include <limits>

TEST(TraceRow, FullScaleMapsToRows98To2) {
    EXPECT_EQ(TraceRow(1.0f), 98);
    EXPECT_EQ(TraceRow(0.0f), 50);
    EXPECT_EQ(TraceRow(-1.0f), 2);
}

TEST(TraceRow, HalfwayRowsRoundToEven) {
    // Multiples of 1/32 land exactly between two rows.
    EXPECT_EQ(TraceRow(0.03125f), 52);   // 51.5 -> 52
    EXPECT_EQ(TraceRow(0.09375f), 54);   // 54.5 -> 54
    EXPECT_EQ(TraceRow(-0.03125f), 48);  // 48.5 -> 48
}

TEST(TraceRow, NothingIsClamped) {
    EXPECT_EQ(TraceRow(1.03125f), 100);
    EXPECT_LT(TraceRow(-1.1f), 0);
    EXPECT_GT(TraceRow(3.0f), 119);
}

TEST(TraceRow, NotANumberLandsFarOffTheSurface) {
    const int row = TraceRow(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(row < -1000 || row > 1000);
    EXPECT_GT(TraceRow(std::numeric_limits<float>::infinity()), 1000);
}

TEST(MiniTraceRow, FullScaleSpansTheHeight) {
    EXPECT_EQ(MiniTraceRow(1.0f, 30), 30);
    EXPECT_EQ(MiniTraceRow(0.0f, 30), 15);
    EXPECT_EQ(MiniTraceRow(-1.0f, 30), 0);
    EXPECT_EQ(MiniTraceRow(0.0f, 25), 12); // integer half of an odd height
}

TEST(FadeStep, GreensFadeInStepsOfFiveThenBlack) {
    EXPECT_EQ(FadedGreen(50), 45);
    EXPECT_EQ(FadedGreen(5), 0);
    EXPECT_EQ(FadedGreen(4), 0);
    EXPECT_EQ(FadedGreen(1), 0);
}

TEST(FadeStep, BlackAndBrightGreensAreLeftAlone) {
    EXPECT_EQ(FadedGreen(0), -1);
    EXPECT_EQ(FadedGreen(51), -1);
    EXPECT_EQ(FadedGreen(255), -1);
}

TEST(Scroll, TextThatFitsIsCentredAndKeepsItsStep) {
    ScrollState s{10, -1};
    StepScroll(s, 180, 200, 180);
    EXPECT_EQ(s.offset, 10);
    EXPECT_EQ(s.step, -1);
    StepScroll(s, 50, 200, 180);
    EXPECT_EQ(s.offset, 75);
    EXPECT_EQ(TextDrawX(s), 76); // one pixel off centre after a scroll
}

TEST(Scroll, WideTextSlidesBetweenTheEnds) {
    ScrollState s;
    const int width = 183; // right end at 190 - 183 = 7
    std::vector<int> drawn;
    for (int frame = 0; frame < 8; ++frame) {
        StepScroll(s, width, 200, 180);
        drawn.push_back(TextDrawX(s));
    }
    EXPECT_EQ(drawn, (std::vector<int>{10, 9, 8, 7, 8, 9, 10, 9}));
}

TEST(Scroll, TextOnePixelTooWideSwingsBetweenTenAndNine) {
    ScrollState s;
    std::vector<int> drawn;
    for (int frame = 0; frame < 4; ++frame) {
        StepScroll(s, 181, 200, 180);
        drawn.push_back(TextDrawX(s));
    }
    EXPECT_EQ(drawn, (std::vector<int>{10, 9, 10, 9}));
}

TEST(Scroll, MiniWindowScrollsAnythingWiderThanItself) {
    ScrollState s;
    StepScroll(s, 101, 101, 101);
    EXPECT_EQ(s.offset, 50 - 50);
    ScrollState t;
    StepScroll(t, 102, 101, 101);
    EXPECT_EQ(TextDrawX(t), 10);
    EXPECT_EQ(t.offset, 9);
}
