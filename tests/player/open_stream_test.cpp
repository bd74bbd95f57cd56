#include "playlist/open_stream.h"

#include <gtest/gtest.h>

TEST(OpenStream, OnlyAnAddressWithAnExtensionIsDownloaded) {
    EXPECT_FALSE(StreamAddressNeedsDownload("http://stream:port/"));
    EXPECT_FALSE(StreamAddressNeedsDownload("http://radio.example/live"));
    EXPECT_FALSE(StreamAddressNeedsDownload(""));
    EXPECT_TRUE(StreamAddressNeedsDownload("http://radio.example/list.PLS"));
    EXPECT_TRUE(StreamAddressNeedsDownload("http://10.0.0.1:8000")); // the port follows the last dot
}

TEST(OpenStream, ListAnswersAreToldFromAudio) {
    const struct {
        const char* type;
        const char* bytes;
        bool list;
    } cases[] = {
        {"", "[playlist]\nFile1=http://a/\n", true},
        {"", "\xEF\xBB\xBF  #EXTM3U\n", true},
        {"", "http://a:8000/\n", true},
        {"", "<ASX version=\"3.0\">", true},
        {"text/plain", "[Reference]\nRef1=http://a/", true},
        {"audio/x-scpls", "[playlist]\n", true},
        {"audio/x-mpegurl", "#EXTM3U\n", true},
        {"audio/mpeg", "[playlist]\n", false}, // the content type wins
        {"audio/mpeg", "ID3\x03", false},
        {"application/ogg", "OggS", false},
        {"", "\xFF\xFB\x90\x64", false},
        {"", "ID3\x04", false},
        {"", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnswerIsStreamList(c.type, c.bytes, std::char_traits<char>::length(c.bytes)), c.list) << c.bytes;
    }
}
