#include "playback/volume.h"

#include <gtest/gtest.h>

namespace {
int32_t Stepped(int32_t volume, int32_t step) {
    int32_t saved = 0;
    StepVolume(step, volume, saved);
    return volume;
}
} // namespace

TEST(Volume, StepsStopAtTheEnds) {
    EXPECT_EQ(Stepped(95, 1), 100);
    EXPECT_EQ(Stepped(100, 1), 100);
    EXPECT_EQ(Stepped(96, 1), 96);
    EXPECT_EQ(Stepped(0, -1), 0);
    EXPECT_EQ(Stepped(5, -1), 0);
    EXPECT_EQ(Stepped(4, -1), 4);
}

TEST(Volume, AnOddVolumeKeepsItsRemainder) {
    int32_t volume = 97, saved = 0;
    for (int i = 0; i < 19; ++i) StepVolume(-1, volume, saved);
    EXPECT_EQ(volume, 2);
    StepVolume(-1, volume, saved);
    EXPECT_EQ(volume, 2);
    for (int i = 0; i < 30; ++i) StepVolume(1, volume, saved);
    EXPECT_EQ(volume, 97);
}

TEST(Volume, MuteRemembersAndRestores) {
    int32_t volume = 60, saved = 0;
    StepVolume(2, volume, saved);
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(saved, 60);
    StepVolume(2, volume, saved);
    EXPECT_EQ(volume, 60);
}

TEST(Volume, MuteAtZeroRightAfterStartStaysSilent) {
    int32_t volume = 0, saved = 0;
    StepVolume(2, volume, saved);
    EXPECT_EQ(volume, 0);
    StepVolume(2, volume, saved);
    EXPECT_EQ(volume, 0);
}

TEST(Volume, WheelUpFromMuteDoesNotUseTheSavedVolume) {
    int32_t volume = 60, saved = 0;
    StepVolume(2, volume, saved);
    StepVolume(1, volume, saved);
    EXPECT_EQ(volume, 5);
}

TEST(Volume, ApplyOnlyChangesNothing) {
    int32_t volume = 42, saved = 7;
    StepVolume(0, volume, saved);
    EXPECT_EQ(volume, 42);
    EXPECT_EQ(saved, 7);
}

TEST(ChannelVolume, ScaledByReplayGain) {
    EXPECT_FLOAT_EQ(ChannelVolume(0.5f, 80), 0.4f);
    EXPECT_FLOAT_EQ(ChannelVolume(1.0f, 100), 1.0f);
    EXPECT_FLOAT_EQ(ChannelVolume(1.0f, 0), 0.0f);
}

TEST(ChannelVolume, GainAboveOneIsPassedOnUnclipped) {
    EXPECT_GT(ChannelVolume(1.5f, 100), 1.0f);
    EXPECT_FLOAT_EQ(ChannelVolume(2.0f, 75), 1.5f);
}
