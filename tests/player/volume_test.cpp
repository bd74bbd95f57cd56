#include "playback/volume.h"

#include <gtest/gtest.h>

TEST(Volume, StepsOfFiveStopAtTheEndsAndKeepARemainder) {
    struct Case { int32_t volume, step, after; };
    const Case cases[] = {{95, 1, 100}, {100, 1, 100}, {96, 1, 96}, {0, -1, 0}, {5, -1, 0}, {4, -1, 4}, {42, 0, 42}};
    for (const Case& c : cases) {
        int32_t volume = c.volume, saved = 7;
        StepVolume(c.step, volume, saved);
        EXPECT_EQ(volume, c.after) << c.volume << " " << c.step;
        EXPECT_EQ(saved, 7);
    }
    int32_t volume = 97, saved = 0;
    for (int i = 0; i < 25; ++i) StepVolume(-1, volume, saved);
    EXPECT_EQ(volume, 2);
    for (int i = 0; i < 30; ++i) StepVolume(1, volume, saved);
    EXPECT_EQ(volume, 97);
}

TEST(Volume, MuteRemembersAndRestoresButTheWheelStartsFromZero) {
    int32_t volume = 60, saved = 0;
    StepVolume(2, volume, saved);
    EXPECT_EQ(volume, 0);
    StepVolume(2, volume, saved);
    EXPECT_EQ(volume, 60);
    StepVolume(2, volume, saved);
    StepVolume(1, volume, saved);
    EXPECT_EQ(volume, 5);
    int32_t silent = 0, none = 0; // mute at 0 right after the start stays silent
    StepVolume(2, silent, none);
    StepVolume(2, silent, none);
    EXPECT_EQ(silent, 0);
}

TEST(ChannelVolume, ScaledByReplayGainAndNotClipped) {
    EXPECT_FLOAT_EQ(ChannelVolume(0.5f, 80), 0.4f);
    EXPECT_FLOAT_EQ(ChannelVolume(1.0f, 0), 0.0f);
    EXPECT_FLOAT_EQ(ChannelVolume(2.0f, 75), 1.5f);
}
