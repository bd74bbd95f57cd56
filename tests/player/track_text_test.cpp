#include "playback/track_text.h"

#include <gtest/gtest.h>

TEST(Bitrate, BytesPerSecondRoundedDownToKilobitsInStepsOfEight) {
    EXPECT_EQ(FileBitrateText(5000000, 312), "128");
    EXPECT_EQ(FileBitrateText(16000, 1), "128");
    EXPECT_EQ(FileBitrateText(15999, 1), "120");
    EXPECT_EQ(FileBitrateText(0, 10), "0");
}

TEST(Bitrate, LengthBelowOneSecondHasNoRate) {
    EXPECT_EQ(FileBitrateText(123456, 0), "");
    EXPECT_EQ(FileBitrateText(123456, -1), "");
}

TEST(Announcement, FileWithTagsShowsArtistTitleAndTime) {
    TrackInfo track;
    track.path = "C:\\Musik\\lied.mp3";
    track.artist = "K\xFCnstler";
    track.title = "Titel";
    track.lengthSeconds = 192;
    const TrackAnnouncement a = AnnounceFile(track, "1.0");
    EXPECT_EQ(a.displayText, "K\xFCnstler - Titel (03:12)");
    EXPECT_EQ(a.balloonTitle, "K\xFCnstler");
    EXPECT_EQ(a.balloonText, "Titel (03:12)");
}

TEST(Announcement, FileWithOnlyATitleStartsWithTheSeparator) {
    TrackInfo track;
    track.path = "x.mp3";
    track.title = "Titel";
    EXPECT_EQ(AnnounceFile(track, "1.0").displayText, " - Titel (00:00)");
}

TEST(Announcement, FileWithoutTagsShowsItsNameUnderTheProgramTitle) {
    TrackInfo track;
    track.path = "C:\\Musik\\lied.wav";
    track.lengthSeconds = 5400;
    const TrackAnnouncement a = AnnounceFile(track, "1.0");
    EXPECT_EQ(a.displayText, "lied.wav (90:00)");
    EXPECT_EQ(a.balloonTitle, "Quendra 1.0");
    EXPECT_EQ(a.balloonText, "lied.wav (90:00)");
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

TEST(Announcement, NothingLoaded) {
    EXPECT_EQ(NothingLoadedText("1.0"), "Quendra 1.0 - keine Datei geladen");
}

TEST(Announcement, StreamTagTypes) {
    EXPECT_TRUE(IsStreamTagType(4));
    EXPECT_TRUE(IsStreamTagType(5));
    EXPECT_FALSE(IsStreamTagType(0));
    EXPECT_FALSE(IsStreamTagType(2));
    EXPECT_FALSE(IsStreamTagType(8));
}
