// Seeking: decoding from a seek plan (after ResetDecoder, with the pre-roll dropped) gives
// the same samples as decoding the whole stream, at the start, the end and in between.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "mpeg/mpeg_stream.h"
#include "test_support.h"

namespace {

struct Stream {
    std::vector<uint8_t> data;
    mpeg::StreamInfo info;
    std::vector<uint64_t> offsets;
    OurPcm whole;
};

Stream Open(const char* file) {
    Stream s;
    s.data = LoadFixture(file);
    EXPECT_TRUE(mpeg::ReadStreamInfo(s.data.data(), s.data.size(), s.data.size(), s.info));
    s.offsets = mpeg::ScanFrames(s.data.data(), s.data.size(), s.info);
    s.whole = DecodeWithOurs(s.data);
    return s;
}

// Samples [target, target + count) of the playable timeline, decoded from the plan.
std::vector<float> DecodeAfterSeek(const Stream& s, const mpeg::SeekPlan& plan, uint64_t count) {
    const std::vector<uint8_t> rest(s.data.begin() + static_cast<long>(plan.byteOffset), s.data.end());
    const OurPcm pcm = DecodeWithOurs(rest);
    const size_t ch = static_cast<size_t>(s.whole.channels);
    const size_t from = std::min(pcm.samples.size(), plan.discardSamples * ch);
    const size_t to = std::min(pcm.samples.size(), from + count * ch);
    return std::vector<float>(pcm.samples.begin() + static_cast<long>(from), pcm.samples.begin() + static_cast<long>(to));
}

std::vector<float> WholeSlice(const Stream& s, uint64_t target, uint64_t count) {
    const size_t ch = static_cast<size_t>(s.whole.channels);
    const size_t from = std::min(s.whole.samples.size(), (s.info.skipStart + target) * ch);
    const size_t to = std::min(s.whole.samples.size(), from + count * ch);
    return std::vector<float>(s.whole.samples.begin() + static_cast<long>(from), s.whole.samples.begin() + static_cast<long>(to));
}

std::vector<uint64_t> Targets(const Stream& s) {
    std::vector<uint64_t> targets = {0, 1, s.info.length - 1, s.info.length - 2000};
    std::mt19937 random(42);
    for (int i = 0; i < 6; ++i) targets.push_back(random() % s.info.length);
    return targets;
}

void ExpectExactSeeks(const char* file) {
    const Stream s = Open(file);
    ASSERT_FALSE(s.offsets.empty());
    ASSERT_EQ(s.offsets.size(), static_cast<size_t>(s.whole.frames));
    for (uint64_t target : Targets(s)) {
        const mpeg::SeekPlan plan = mpeg::PlanSeek(s.info, &s.offsets, target);
        const std::vector<float> expected = WholeSlice(s, target, 4000);
        const std::vector<float> got = DecodeAfterSeek(s, plan, 4000);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(got.size(), expected.size()) << file << " target " << target;
        EXPECT_TRUE(got == expected) << file << " target " << target << " SNR " << SnrDb(expected, got);
    }
}

TEST(Seek, EveryLayerSeeksToTheSamplesOfTheWholeDecode) {
    for (const char* file : {"l3_cbr128.mp3", "l3_vbr.mp3", "l3_mpeg25.mp3", "l2_192.mp2"}) ExpectExactSeeks(file);
}

// Before the frames are indexed a seek is planned from the Xing TOC (VBR) or by arithmetic
// (CBR); it must land near, or on, the frame it names.
TEST(Seek, UnindexedPlansLandNearTheFrameTheyName) {
    for (const auto& [file, toleranceFraction] : {std::pair{"l3_vbr.mp3", 0.01}, std::pair{"l3_notag.mp3", 0.0}}) {
        const Stream s = Open(file);
        for (uint64_t target : Targets(s)) {
            const mpeg::SeekPlan plan = mpeg::PlanSeek(s.info, nullptr, target);
            const auto landed = std::lower_bound(s.offsets.begin(), s.offsets.end(), plan.byteOffset);
            const double tolerance = 1.0 + toleranceFraction * static_cast<double>(s.offsets.size());
            EXPECT_LE(std::abs((landed - s.offsets.begin()) - static_cast<int64_t>(plan.frame)), tolerance)
                << file << " target " << target;
        }
    }
}

}  // namespace
