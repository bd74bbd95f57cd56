#include "playback/track_text.h"

#include <gtest/gtest.h>

TEST(Bitrate, KilobitsRoundedDownInStepsOfEightAndNoneBelowOneSecond) {
    struct Case { uint32_t bytes; int32_t seconds; const char* text; };
    const Case cases[] = {{5000000, 312, "128"}, {16000, 1, "128"}, {15999, 1, "120"},
                          {0, 10, "0"},          {123456, 0, ""},   {123456, -1, ""}};
    for (const Case& c : cases) EXPECT_EQ(FileBitrateText(c.bytes, c.seconds), c.text) << c.bytes << "/" << c.seconds;
}

TEST(Announcement, FilesShowTagsOrTheirNameUnderTheProgramTitle) {
    TrackInfo track;
    track.path = "C:\\Musik\\lied.mp3";
    track.lengthSeconds = 5400;
    TrackAnnouncement a = AnnounceFile(track, "1.0");
    EXPECT_EQ(a.displayText, "lied.mp3 (90:00)");
    EXPECT_EQ(a.balloonTitle, "Quendra 1.0");
    EXPECT_EQ(a.balloonText, "lied.mp3 (90:00)");
    track.title = "Titel";
    track.lengthSeconds = 192;
    EXPECT_EQ(AnnounceFile(track, "1.0").displayText, " - Titel (03:12)");
    track.artist = "K\xFCnstler";
    a = AnnounceFile(track, "1.0");
    EXPECT_EQ(a.displayText, "K\xFCnstler - Titel (03:12)");
    EXPECT_EQ(a.balloonTitle, "K\xFCnstler");
    EXPECT_EQ(a.balloonText, "Titel (03:12)");
}

TEST(Announcement, StreamShowsNameAndBitrate) {
    TrackInfo track;
    track.path = "http://radio.example.org/live";
    track.bitrateText = "128";
    TrackAnnouncement a = AnnounceStream(track);
    EXPECT_EQ(a.displayText, "http://radio.example.org/live (128 kbps)");
    EXPECT_EQ(a.balloonTitle, "http://radio.example.org/live (128 kbps)");
    EXPECT_EQ(a.balloonText, "");
    track.streamName = "Radio Eins";
    a = AnnounceStream(track);
    EXPECT_EQ(a.displayText, "Radio Eins (128 kbps)");
    EXPECT_EQ(a.balloonText, "Radio Eins");
}
