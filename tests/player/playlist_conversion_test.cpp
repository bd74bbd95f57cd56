#include "playlist/playlist_conversion.h"

#include <gtest/gtest.h>

TEST(PlaylistConversion, Table) {
    const std::string cases[][2] = {
        {"a\nb\r\nc\rd", "a\r\nb\r\nc\r\nd\r\n"},             // every line ending becomes CR LF
        {std::string("a\0b", 3), "a\r\nb\r\n"},                // so does a zero byte
        {"a\n\nb\n", "a\r\n\r\nb\r\n"},                        // empty lines stay, none added
        {"", ""},
        {"\r\r", "\r\n\r\n"},
        {"File1=C:\\M\xFCsik\\\xC4.mp3", "File1=C:\\M\xC3\xBCsik\\\xC3\x84.mp3\r\n"}, // Latin-1 to UTF-8
        {"\xE2\x82\xAC.mp3", "\xE2\x82\xAC.mp3\r\n"},         // UTF-8 is not encoded twice
        {"\xEF\xBB\xBF#EXTM3U\nM\xC3\xBCsik.mp3\n", "#EXTM3U\r\nM\xC3\xBCsik.mp3\r\n"}, // mark dropped
        {"\xC3\xBC\n\xFC\n", "\xC3\xBC\r\n\xC3\xBC\r\n"},     // each line judged on its own
    };
    for (const auto& c : cases) EXPECT_EQ(ConvertPlaylistText(c[0]), c[1]) << c[0];
}

TEST(Utf8Validity, RejectsMalformedForms) {
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x8E\xB5"));
    // overlong (two and three bytes), surrogate, past U+10FFFF, cut short, lone continuation
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3", "\xBF"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

TEST(PlaylistConversion, AListReadInPartEndsAtItsLastCompleteLine) {
    EXPECT_EQ(CompleteLines("C:\\a.mp3\r\nC:\\b.mp3\r\nC:\\lo"), "C:\\a.mp3\r\nC:\\b.mp3\r\n");
    EXPECT_EQ(CompleteLines("a\rb"), "a\r");
    EXPECT_EQ(CompleteLines(std::string("a\0b", 3)), std::string("a\0", 2));
    EXPECT_EQ(CompleteLines("C:\\lo"), "");
}
