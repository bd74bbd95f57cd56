#include "playback/track_info.h"

#include <gtest/gtest.h>

TEST(TimeText, MinutesAndSecondsWithTwoDigits) {
    EXPECT_EQ(TimeText(0), "00:00");
    EXPECT_EQ(TimeText(59), "00:59");
    EXPECT_EQ(TimeText(60), "01:00");
    EXPECT_EQ(TimeText(600), "10:00");
    EXPECT_EQ(TimeText(3599), "59:59");
}

TEST(TimeText, MinutesAreNotLimitedToAnHour) {
    EXPECT_EQ(TimeText(5400), "90:00");
    EXPECT_EQ(TimeText(6000), "100:00");
}

TEST(TimeText, NegativeSecondsShowNoSign) {
    EXPECT_EQ(TimeText(-5), "00:05");
    EXPECT_EQ(TimeText(-65), "01:05");
    EXPECT_EQ(TimeText(-2147483647 - 1), "35791394:08");
}

TEST(TrackInfo, ResetGivesUnityGainAndScrollStartAndEmptyTexts) {
    g_track.path = "C:\\a.mp3";
    g_track.artist = "A";
    g_track.lengthSeconds = 12;
    g_track.replayGainFactor = 0.5f;
    g_track.tagType = 4;
    g_track.trackNumber = 3;
    g_track.displayText = "x";
    g_track.scrollOffset = 77;
    g_track.scrollStep = -1;
    ResetTrackInfo();
    EXPECT_TRUE(g_track.path.empty());
    EXPECT_TRUE(g_track.artist.empty());
    EXPECT_TRUE(g_track.displayText.empty());
    EXPECT_EQ(g_track.lengthSeconds, 0);
    EXPECT_EQ(g_track.replayGainFactor, 1.0f);
    EXPECT_EQ(g_track.tagType, 0);
    EXPECT_EQ(g_track.trackNumber, 0);
    EXPECT_EQ(g_track.scrollOffset, 10);
    EXPECT_EQ(g_track.scrollStep, 0);
}
