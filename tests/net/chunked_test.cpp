#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/chunked.h"

namespace {

// Feeds the text in pieces of `step` bytes; returns the payload, or "BROKEN".
std::string Dechunk(const std::string& text, size_t step, bool* finished = nullptr) {
    engine::ChunkedDecoder decoder;
    std::vector<uint8_t> out;
    for (size_t at = 0; at < text.size(); at += step) {
        const size_t n = std::min(step, text.size() - at);
        if (!decoder.Feed(reinterpret_cast<const uint8_t*>(text.data() + at), n, out)) return "BROKEN";
    }
    if (finished) *finished = decoder.Finished();
    return std::string(out.begin(), out.end());
}

}  // namespace

TEST(Chunked, PayloadIsTheSameWhateverPiecesTheBytesArriveIn) {
    const std::string text = "5\r\nhello\r\n1a;name=value\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\nTrailer: x\r\n\r\n";
    for (size_t step : {1u, 2u, 3u, 7u, 1000u}) {
        bool finished = false;
        EXPECT_EQ(Dechunk(text, step, &finished), "helloabcdefghijklmnopqrstuvwxyz") << step;
        EXPECT_TRUE(finished) << step;
    }
}

TEST(Chunked, UpperCaseHexAndBareLineFeedsAreAcceptedAndBrokenFramingIsReported) {
    bool finished = false;
    EXPECT_EQ(Dechunk("A\n0123456789\n0\n\n", 4, &finished), "0123456789");
    EXPECT_TRUE(finished);
    for (const std::string& broken : std::vector<std::string>{"zz\r\nhello\r\n", "\r\n", "5\r\nhelloXX\r\n",
                                                              "fffffffffffffffffff\r\n",  // absurd chunk size
                                                              "5;" + std::string(10000, 'e') + "\r\nhello"})  // endless extension
        EXPECT_EQ(Dechunk(broken, 3), "BROKEN") << broken.substr(0, 20);
}
