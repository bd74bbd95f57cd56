// Bad input: garbage before and between frames, a broken frame, a destroyed header, a cut
// end and data that is no MPEG at all. Decoding goes on and never reads out of bounds
// (the fuzz target covers the latter more widely).
#include <gtest/gtest.h>

#include <random>

#include "mpeg/mpeg_stream.h"
#include "test_support.h"

namespace {

std::vector<uint8_t> Garbage(size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> out(bytes);
    for (uint8_t& b : out) b = (random() % 4 == 0) ? 0xFF : static_cast<uint8_t>(random());
    return out;
}

std::vector<uint64_t> FrameOffsets(const std::vector<uint8_t>& data) {
    mpeg::StreamInfo info;
    EXPECT_TRUE(mpeg::ReadStreamInfo(data.data(), data.size(), data.size(), info));
    return mpeg::ScanFrames(data.data(), data.size(), info);
}

size_t FrameFloats(const OurPcm& pcm) { return static_cast<size_t>(pcm.channels) * 1152; }

TEST(Robustness, GarbageBeforeAndBetweenFramesIsSkippedWithoutAClick) {
    // File, frame the junk goes before, junk bytes, piece size.
    const struct { const char* file; size_t frame, junk, chunk; } cases[] = {{"l3_cbr128.mp3", 0, 5000, 333}, {"l3_vbr.mp3", 100, 700, 0}};
    for (const auto& c : cases) {
        const std::vector<uint8_t> clean = LoadFixture(c.file);
        const size_t at = static_cast<size_t>(FrameOffsets(clean)[c.frame]);
        std::vector<uint8_t> data(clean.begin(), clean.begin() + static_cast<long>(at));
        const std::vector<uint8_t> junk = Garbage(c.junk, 1);
        data.insert(data.end(), junk.begin(), junk.end());
        data.insert(data.end(), clean.begin() + static_cast<long>(at), clean.end());
        const OurPcm expected = DecodeWithOurs(clean), got = DecodeWithOurs(data, c.chunk);
        EXPECT_EQ(got.frames, expected.frames) << c.file;
        // The reservoir and filters carry on across the gap: the same samples.
        EXPECT_TRUE(got.samples == expected.samples) << c.file;
    }
}

TEST(Robustness, BrokenFrameContentPlaysOn) {
    const std::vector<uint8_t> clean = LoadFixture("l3_cbr128.mp3");
    const std::vector<uint64_t> offsets = FrameOffsets(clean);
    std::vector<uint8_t> data = clean;
    const std::vector<uint8_t> junk = Garbage(300, 3);
    std::copy(junk.begin(), junk.end(), data.begin() + static_cast<long>(offsets[150] + 40));
    const OurPcm expected = DecodeWithOurs(clean);
    const OurPcm got = DecodeWithOurs(data);
    ASSERT_EQ(got.frames, expected.frames);
    // Frames before the damage are untouched, and a few frames after it (once the
    // reservoir no longer reaches into the damaged bytes) the audio is the same again.
    const size_t frame = FrameFloats(got);
    const size_t before = 150 * frame;
    const size_t after = 160 * frame;
    EXPECT_TRUE(std::equal(got.samples.begin(), got.samples.begin() + static_cast<long>(before), expected.samples.begin()));
    EXPECT_TRUE(std::equal(got.samples.begin() + static_cast<long>(after), got.samples.end(),
                           expected.samples.begin() + static_cast<long>(after)));
}

TEST(Robustness, DestroyedHeaderLosesOneFrameOnly) {
    const std::vector<uint8_t> clean = LoadFixture("l2_192.mp2");
    const std::vector<uint64_t> offsets = FrameOffsets(clean);
    std::vector<uint8_t> data = clean;
    data[offsets[200]] = 0x00;
    const OurPcm expected = DecodeWithOurs(clean);
    const OurPcm got = DecodeWithOurs(data, 4096);
    EXPECT_EQ(got.frames, expected.frames - 1);
    // The tail after the lost frame matches once the filter history has refilled.
    const size_t frame = FrameFloats(got);
    const size_t tail = got.samples.size() - 205 * frame;
    EXPECT_TRUE(std::equal(got.samples.end() - static_cast<long>(tail), got.samples.end(),
                           expected.samples.end() - static_cast<long>(tail)));
}

TEST(Robustness, CutOffLastFrameIsDropped) {
    const std::vector<uint8_t> clean = LoadFixture("l3_notag.mp3");
    const std::vector<uint64_t> offsets = FrameOffsets(clean);
    const std::vector<uint8_t> data(clean.begin(), clean.begin() + static_cast<long>(offsets.back() + 100));
    const OurPcm got = DecodeWithOurs(data, 512);
    EXPECT_EQ(static_cast<size_t>(got.frames), offsets.size() - 1);
}

TEST(Robustness, DataThatIsNoMpegGivesNoFrames) {
    std::mt19937 random(4);
    std::vector<uint8_t> noise(200000);
    for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
    const std::string text = "Quendra spielt MPEG-Audio. \xFF\xFB Kein Rahmen hier.\n";
    std::vector<uint8_t> prose;
    while (prose.size() < 100000) prose.insert(prose.end(), text.begin(), text.end());
    for (const std::vector<uint8_t>& data : {noise, prose}) {
        ASSERT_FALSE(data.empty());
        EXPECT_EQ(DecodeWithOurs(data, 1000).frames, 0);
        mpeg::StreamInfo info;
        EXPECT_FALSE(mpeg::ReadStreamInfo(data.data(), data.size(), data.size(), info));
    }
}

TEST(Robustness, LayerSwitchInTheMiddleStartsAFreshStream) {
    const std::vector<uint8_t> first = LoadFixture("l2_mono.mp2");
    const std::vector<uint8_t> second = LoadFixture("l3_mpeg2.mp3");
    std::vector<uint8_t> data = first;
    data.insert(data.end(), second.begin(), second.end());
    const OurPcm a = DecodeWithOurs(first);
    const OurPcm b = DecodeWithOurs(second);
    const OurPcm both = DecodeWithOurs(data, 777);
    EXPECT_EQ(both.frames, a.frames + b.frames);
    EXPECT_EQ(both.samples.size(), a.samples.size() + b.samples.size());
    EXPECT_EQ(both.channels, 2);
    EXPECT_EQ(both.sampleRate, 22050);
}

}  // namespace
