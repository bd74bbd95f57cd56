// Bad input: garbage before and between frames, a broken frame, a destroyed header, a cut
// end, a change of layer. Decoding goes on and never reads out of bounds
// (the fuzz target covers the latter more widely).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "mpeg/mpeg_stream.h"
#include "test_support.h"

// Damage at one frame of a fixture: the frames before it decode as before, `lost` frames go,
// and from `settle` frames on (once the reservoir and filters no longer reach back into the
// damage) the rest matches the clean decode again, aligned at the end.
TEST(Robustness, DamageCostsOnlyTheFramesItTouches) {
    enum Kind { InsertJunk, OverwriteJunk, ZeroSync, CutInside };
    const struct { const char* file; Kind kind; size_t frame, bytes, chunk; int lost; size_t settle; } cases[] = {
        {"l3_cbr128.mp3", InsertJunk, 0, 5000, 333, 0, 0},  // skipped without a click
        {"l3_vbr.mp3", InsertJunk, 100, 700, 0, 0, 0},
        {"l3_cbr128.mp3", OverwriteJunk, 150, 300, 0, 0, 10},  // broken content plays on
        {"l2_192.mp2", ZeroSync, 200, 0, 4096, 1, 5},
        {"l3_notag.mp3", CutInside, SIZE_MAX, 100, 512, 1, 0},  // the cut-off last frame is dropped
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> clean = LoadFixture(c.file);
        mpeg::StreamInfo info;
        ASSERT_TRUE(mpeg::ReadStreamInfo(clean.data(), clean.size(), clean.size(), info));
        const std::vector<uint64_t> offsets = mpeg::ScanFrames(clean.data(), clean.size(), info);
        const size_t frame = std::min(c.frame, offsets.size() - 1);
        const auto at = clean.begin() + static_cast<long>(offsets[frame]);
        std::vector<uint8_t> junk(c.bytes);  // a quarter of it 0xFF, to look like frame syncs
        std::mt19937 random(1);
        for (uint8_t& b : junk) b = (random() % 4 == 0) ? 0xFF : static_cast<uint8_t>(random());
        std::vector<uint8_t> data(clean.begin(), at);
        if (c.kind == InsertJunk) data.insert(data.end(), junk.begin(), junk.end());
        data.insert(data.end(), at, c.kind == CutInside ? at + static_cast<long>(c.bytes) : clean.end());
        if (c.kind == OverwriteJunk) std::copy(junk.begin(), junk.end(), data.begin() + static_cast<long>(offsets[frame] + 40));
        if (c.kind == ZeroSync) data[offsets[frame]] = 0;
        const OurPcm expected = DecodeWithOurs(clean), got = DecodeWithOurs(data, c.chunk);
        SCOPED_TRACE(std::string(c.file) + " frame " + std::to_string(frame));
        ASSERT_EQ(got.frames, expected.frames - c.lost);
        const size_t frameFloats = static_cast<size_t>(got.channels) * 1152;
        const auto before = static_cast<long>(frame * frameFloats);
        EXPECT_TRUE(std::equal(got.samples.begin(), got.samples.begin() + before, expected.samples.begin()));
        const size_t from = (frame + c.settle) * frameFloats;
        const long tail = static_cast<long>(got.samples.size() > from ? got.samples.size() - from : 0);
        EXPECT_TRUE(std::equal(got.samples.end() - tail, got.samples.end(), expected.samples.end() - tail));
    }
}

TEST(Robustness, LayerSwitchInTheMiddleStartsAFreshStream) {
    const std::vector<uint8_t> first = LoadFixture("l2_mono.mp2"), second = LoadFixture("l3_mpeg2.mp3");
    std::vector<uint8_t> data = first;
    data.insert(data.end(), second.begin(), second.end());
    const OurPcm a = DecodeWithOurs(first), b = DecodeWithOurs(second), both = DecodeWithOurs(data, 777);
    EXPECT_EQ(std::make_pair(both.frames, both.samples.size()), std::make_pair(a.frames + b.frames, a.samples.size() + b.samples.size()));
    EXPECT_EQ(std::tie(both.channels, both.sampleRate), std::tie(b.channels, b.sampleRate));
}
