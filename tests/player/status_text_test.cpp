#include "display/status_text.h"

#include <gtest/gtest.h>

TEST(ShortenText, Table) {
    const std::string path = "http://radio.example.org/streams/very/long/path\\Sender\\live.mp3";
    const std::string url = "http://radio.example.org:8000/stream/live-high-quality.mp3";
    EXPECT_EQ(ShortenText("Radio Eins", " ", 40, false, "..."), "Radio Eins");
    EXPECT_EQ(ShortenText(std::string(40, 'x'), " ", 40, false, "..."), std::string(40, 'x'));
    EXPECT_EQ(ShortenText(std::string(41, 'a'), " ", 40, false, "..."), std::string(40, 'a') + "...");
    // From the right: the tail from a separator, or the last 40 characters without one.
    EXPECT_EQ(ShortenText(path, "\\", 40, true, "..."), "...\\Sender\\live.mp3");
    EXPECT_EQ(ShortenText(url, "\\", 40, true, "..."), "..." + url.substr(url.size() - 40));
}

TEST(StreamTitle, NamedStationWithArtistAndTitle) {
    const StreamTitleTexts t = StreamTitleAnnouncement("Radio Eins", "http://r/", "128", "K\xFCnstler", "Lied");
    EXPECT_EQ(t.balloonTitle, "Radio Eins (128 kbps)");
    EXPECT_EQ(t.balloonText, "K\xFCnstler - Lied");
    EXPECT_EQ(t.tooltip, "Radio Eins (128 kbps) - K\xFCnstler - Lied");
    EXPECT_EQ(t.displayText, "Radio Eins - K\xFCnstler - Lied (128 kbps)");
}

TEST(StreamTitle, MissingPartsStillJoinAndAnUnnamedStationShowsItsAddressTail) {
    const StreamTitleTexts t = StreamTitleAnnouncement("Radio", "", "64", "", "Nachrichten");
    EXPECT_EQ(t.balloonText, " - Nachrichten");
    EXPECT_EQ(t.displayText, "Radio -  - Nachrichten (64 kbps)");
    const std::string url = "http://radio.example.org:8000/stream/live-high-quality.mp3";
    EXPECT_EQ(StreamTitleAnnouncement("", url, "192", "A", "B").balloonTitle,
              "..." + url.substr(url.size() - 40) + " (192 kbps)");
}
