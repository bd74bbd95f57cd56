// What makes bytes MPEG audio when no tag or Xing header says so: a run of frames whose
// sizes chain. Other files hold a few look-alike headers by chance, or records that repeat
// like free-format frames.
#include <gtest/gtest.h>

#include <random>

#include "layer1_writer.h"
#include "mpeg/mpeg_stream.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Random bytes without 0xFF: no frame header of their own.
Bytes Noise(size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    Bytes out(bytes);
    for (uint8_t& b : out) b = static_cast<uint8_t>(random() % 255);
    return out;
}

}  // namespace

TEST(FrameRun, FourChainedFramesOrFewerThatEndTheFile) {
    const Bytes mp3 = LoadFixture("l3_notag.mp3"), mp2 = LoadFixture("l2_192.mp2");
    ASSERT_FALSE(mp3.empty());
    const Bytes noise = Noise(3000, 1), three = FirstFrames(mp3, 3);
    constexpr size_t kNone = SIZE_MAX;
    // Records of a fixed size that start like free-format layer I headers, as tables in tracker
    // modules do; the 0xFF bytes after them are forbidden bit allocations.
    Bytes records;
    for (int i = 0; i < 8; ++i) records = Join({records, {0xFF, 0xFF, 0x00, 0x01}, Bytes(1104, 0xFF)});
    const struct { const char* what; Bytes data; bool whole; size_t start; } cases[] = {
        {"a stream", mp3, true, 0},
        {"four frames, then noise", Join({FirstFrames(mp3, 4), noise}), true, 0},
        {"one frame in noise", Join({noise, FirstFrames(mp3, 1), noise}), true, kNone},
        {"two frames in noise", Join({noise, FirstFrames(mp2, 2), noise}), true, kNone},
        {"three frames in noise", Join({noise, three, noise}), true, kNone},
        {"three frames, then one of another layer", Join({three, FirstFrames(mp2, 1), noise}), true, kNone},
        {"three frames that end the file", Join({noise, three}), true, 3000},
        {"three frames that end what was read", Join({noise, three}), false, kNone},
        {"a one-frame file", FirstFrames(mp2, 1), true, 0},
        {"look-alikes in front of a stream", Join({three, noise, mp3}), true, three.size() + 3000},
        {"a stream too far in", Join({Noise(70000, 2), mp3}), true, kNone},
        {"free-format layer II", LoadFixture("l2_free.mp2"), true, 0},
        {"free-format layer I", Rewritten(WriteLayer1({.frames = 20}), Rewrite::FreeFormat), true, 0},
        {"records like free-format layer I", Join({noise, records, noise}), true, kNone},
    };
    for (const auto& c : cases) {
        const size_t expected = c.start == kNone ? c.data.size() : c.start;
        EXPECT_EQ(mpeg::FindFrameRun(c.data.data(), c.data.size(), c.whole, 64 * 1024), expected) << c.what;
    }
}
