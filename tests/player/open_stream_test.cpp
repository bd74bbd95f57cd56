#include "playlist/open_stream.h"

#include <gtest/gtest.h>

TEST(OpenStream, OnlyAnAddressWithAnExtensionIsDownloaded) {
    EXPECT_FALSE(StreamAddressNeedsDownload("http://stream:port/"));
    EXPECT_FALSE(StreamAddressNeedsDownload("http://radio.example/live"));
    EXPECT_FALSE(StreamAddressNeedsDownload(""));
    EXPECT_TRUE(StreamAddressNeedsDownload("http://radio.example/list.PLS"));
    EXPECT_TRUE(StreamAddressNeedsDownload("http://10.0.0.1:8000")); // the port follows the last dot
}

TEST(OpenStream, AnswersAreToldApart) {
    const struct {
        const char* type;
        const char* bytes;
        AnswerKind kind;
    } cases[] = {
        {"", "[playlist]\nFile1=http://a/\n", AnswerKind::List},
        {"", "\xEF\xBB\xBF  #EXTM3U\n", AnswerKind::List},
        {"", "http://a:8000/\n", AnswerKind::List},
        {"", "<ASX version=\"3.0\">", AnswerKind::List},
        {"text/plain", "[Reference]\nRef1=http://a/", AnswerKind::List},
        {"audio/x-scpls", "[playlist]\n", AnswerKind::List},
        {"audio/x-mpegurl", "", AnswerKind::List},
        {"audio/mpeg", "[playlist]\n", AnswerKind::Audio}, // the content type wins
        {"application/ogg", "OggS", AnswerKind::Audio},
        {"application/octet-stream", "\xFF\xFB\x90\x64", AnswerKind::Audio},
        {"", "ID3\x04", AnswerKind::Audio},
        {"", "\xFF\x0B", AnswerKind::Neither}, // no frame sync
        {"text/html", "<html><body>404", AnswerKind::Neither},
        {"", "", AnswerKind::Neither},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KindOfAnswer(c.type, c.bytes, std::char_traits<char>::length(c.bytes)), c.kind) << c.bytes;
    }
}
