#include "display/mini_window_layout.h"

#include <gtest/gtest.h>

TEST(MiniWindowLayout, BandGivesUpHundredPixelsAndTheWindowTakesThemPlusOne) {
    struct Case {
        ScreenRect band, narrowedBand; // as read before and after the band is moved
        PlacedRect move, mini;
        int buttonTop;
    };
    const Case cases[] = {
        // task bar along the bottom of a 1024 x 768 screen, band at its top left
        {{0, 738, 1024, 768}, {0, 738, 924, 768}, {0, 0, 924, 30}, {924, 738, 101, 30}, 7},
        // band further in and lower than the task bar's top: only its left edge is kept
        {{150, 2, 850, 29}, {150, 0, 750, 27}, {150, 0, 600, 27}, {750, 0, 101, 27}, 5},
    };
    for (const Case& c : cases) {
        const PlacedRect move = NarrowedBand(c.band);
        EXPECT_EQ(move.x, c.move.x);
        EXPECT_EQ(move.y, c.move.y);
        EXPECT_EQ(move.width, c.move.width);
        EXPECT_EQ(move.height, c.move.height);
        const PlacedRect mini = MiniWindowBeside(c.narrowedBand);
        EXPECT_EQ(mini.x, c.mini.x);
        EXPECT_EQ(mini.y, c.mini.y);
        EXPECT_EQ(mini.width, c.mini.width);
        EXPECT_EQ(mini.height, c.mini.height);
        EXPECT_EQ(MiniButtonTop(mini.height), c.buttonTop);
        EXPECT_NE(TaskbarLayoutKeyOf(c.band), TaskbarLayoutKeyOf(c.narrowedBand)) << "narrowing is a change";
    }
}

TEST(VolumeNotice, FirstRefreshIsQuietAndAChangeShowsForOneSecond) {
    VolumeNotice notice;
    VolumeNoticeStep step = StepVolumeNotice(notice, 80, 5000);
    EXPECT_FALSE(step.drawNotice || step.showTextArea);

    step = StepVolumeNotice(notice, 75, 6000);
    EXPECT_TRUE(step.showTextArea && step.drawNotice);
    step = StepVolumeNotice(notice, 75, 6999);
    EXPECT_TRUE(step.drawNotice && !step.showTextArea && !step.hideTextAreaIfHovered);
    step = StepVolumeNotice(notice, 75, 7000); // one second exactly: over, but not yet "more than"
    EXPECT_FALSE(step.drawNotice || step.hideTextAreaIfHovered);
    step = StepVolumeNotice(notice, 75, 7001);
    EXPECT_TRUE(step.hideTextAreaIfHovered && !step.drawNotice);
    step = StepVolumeNotice(notice, 75, 7042);
    EXPECT_FALSE(step.drawNotice || step.hideTextAreaIfHovered);

    step = StepVolumeNotice(notice, 0, 0xFFFFFF00u); // across the tick counter's wrap
    EXPECT_TRUE(step.drawNotice);
    EXPECT_TRUE(StepVolumeNotice(notice, 0, 0x100u).drawNotice);
    EXPECT_FALSE(StepVolumeNotice(notice, 0, 0x2E9u).drawNotice);
}

TEST(VolumeNotice, ReadsThePercentageInRedAtZero) {
    EXPECT_EQ(VolumeNoticeText(75), "Volume 75%");
    EXPECT_EQ(VolumeNoticeText(0), "Volume 0%");
    EXPECT_EQ(VolumeNoticeColours(0).light, 0x0000FFu);
    EXPECT_EQ(VolumeNoticeColours(0).dark, 0x000096u);
    EXPECT_EQ(VolumeNoticeColours(5).light, 0x00FF00u);
    EXPECT_EQ(VolumeNoticeColours(100).dark, 0x009600u);
}
