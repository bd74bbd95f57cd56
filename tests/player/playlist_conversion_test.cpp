#include "playlist/playlist_conversion.h"

#include <gtest/gtest.h>

TEST(PlaylistConversion, EveryLineEndingBecomesCrLf) {
    EXPECT_EQ(ConvertPlaylistText("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(ConvertPlaylistText(std::string("a\0b", 3)), "a\r\nb\r\n");
}

TEST(PlaylistConversion, EmptyLinesStayAndNoExtraLineAtTheEnd) {
    EXPECT_EQ(ConvertPlaylistText("a\n\nb\n"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(ConvertPlaylistText("\r\n"), "\r\n");
    EXPECT_EQ(ConvertPlaylistText(""), "");
    EXPECT_EQ(ConvertPlaylistText("\r\r"), "\r\n\r\n");
}

TEST(PlaylistConversion, Latin1LinesAreEncodedAsUtf8) {
    EXPECT_EQ(ConvertPlaylistText("File1=C:\\M\xFCsik\\\xC4.mp3"), "File1=C:\\M\xC3\xBCsik\\\xC3\x84.mp3\r\n");
    EXPECT_EQ(ConvertPlaylistText("\xFF"), "\xC3\xBF\r\n");
}

TEST(PlaylistConversion, Utf8LinesAreNotEncodedTwice) {
    EXPECT_EQ(ConvertPlaylistText("C:\\M\xC3\xBCsik\\a.mp3\n"), "C:\\M\xC3\xBCsik\\a.mp3\r\n");
    EXPECT_EQ(ConvertPlaylistText("\xE2\x82\xAC.mp3"), "\xE2\x82\xAC.mp3\r\n");
}

TEST(PlaylistConversion, ByteOrderMarkAtTheStartIsDropped) {
    EXPECT_EQ(ConvertPlaylistText("\xEF\xBB\xBF#EXTM3U\nM\xC3\xBCsik.mp3\n"), "#EXTM3U\r\nM\xC3\xBCsik.mp3\r\n");
}

TEST(PlaylistConversion, EachLineIsJudgedOnItsOwn) {
    EXPECT_EQ(ConvertPlaylistText("\xC3\xBC\n\xFC\n"), "\xC3\xBC\r\n\xC3\xBC\r\n");
}

TEST(Utf8Validity, RejectsMalformedForms) {
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x8E\xB5"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong slash
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));     // overlong, three bytes
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xC3"));             // cut short
    EXPECT_FALSE(IsValidUtf8("\xBF"));
}
