#include "display/oscilloscope_math.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

TEST(TraceRow, HalfwayRowsRoundToEvenAndNothingIsClamped) {
    struct Case { float sample; int row; };
    const Case cases[] = {{1.0f, 98},      {0.0f, 50},      {-1.0f, 2},       {0.03125f, 52},
                          {0.09375f, 54},  {-0.03125f, 48}, {1.03125f, 100}};
    for (const Case& c : cases) EXPECT_EQ(TraceRow(c.sample), c.row) << c.sample;
    EXPECT_LT(TraceRow(-1.1f), 0);
    const int nan = TraceRow(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(nan < -1000 || nan > 1000) << "not a number must land far off the surface";
    EXPECT_GT(TraceRow(std::numeric_limits<float>::infinity()), 1000);
    EXPECT_EQ(MiniTraceRow(0.0f, 25), 12); // integer half of an odd height
}

TEST(FadeStep, GreensFadeToBlackAndOthersAreLeftAlone) {
    const int fades[][2] = {{50, 45}, {5, 0}, {4, 0}, {1, 0}, {0, -1}, {51, -1}, {255, -1}};
    for (const auto& f : fades) EXPECT_EQ(FadedGreen(f[0]), f[1]) << f[0];
}

namespace {
std::vector<int> DrawnX(int textWidth, int frames, int areaWidth = 200, int visibleWidth = 180) {
    ScrollState s;
    std::vector<int> drawn;
    for (int frame = 0; frame < frames; ++frame) {
        StepScroll(s, textWidth, areaWidth, visibleWidth);
        drawn.push_back(TextDrawX(s));
    }
    return drawn;
}
} // namespace

TEST(Scroll, WideTextSlidesBetweenTheEnds) {
    EXPECT_EQ(DrawnX(183, 8), (std::vector<int>{10, 9, 8, 7, 8, 9, 10, 9}));
    EXPECT_EQ(DrawnX(181, 4), (std::vector<int>{10, 9, 10, 9}));
    EXPECT_EQ(DrawnX(102, 1, 101, 101), (std::vector<int>{10})); // the mini window scrolls what is wider
}

TEST(Scroll, TextThatFitsIsCentredAndKeepsItsStep) {
    ScrollState s{10, -1};
    StepScroll(s, 180, 200, 180);
    EXPECT_EQ(s.offset, 10);
    EXPECT_EQ(s.step, -1);
    StepScroll(s, 50, 200, 180);
    EXPECT_EQ(s.offset, 75);
    EXPECT_EQ(TextDrawX(s), 76);
    ScrollState mini;
    StepScroll(mini, 101, 101, 101);
    EXPECT_EQ(mini.offset, 0);
}
