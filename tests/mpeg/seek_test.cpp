// Seeking: decoding from a seek plan (a fresh decoder, the pre-roll dropped) gives the same
// samples as the whole decode, at the start, the end and in between. Before the frames are
// indexed a seek is planned from the Xing TOC (VBR) or by arithmetic (CBR); it must land
// near, or on, the frame it names.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "mpeg/mpeg_stream.h"
#include "test_support.h"

namespace {

// Up to `count` samples per channel from sample `from` on.
std::vector<float> Slice(const OurPcm& pcm, uint64_t from, uint64_t count) {
    const size_t ch = static_cast<size_t>(pcm.channels), begin = std::min(pcm.samples.size(), from * ch);
    const size_t end = std::min(pcm.samples.size(), begin + count * ch);
    return std::vector<float>(pcm.samples.begin() + static_cast<long>(begin), pcm.samples.begin() + static_cast<long>(end));
}

}  // namespace

TEST(Seek, PlansGiveTheSamplesOfTheWholeDecodeAndUnindexedOnesLandNear) {
    // The tolerance of an unindexed plan, in frames as a share of all frames (plus one).
    const struct { const char* file; double tolerance; } cases[] = {{"l3_cbr128.mp3", 0.0}, {"l3_vbr.mp3", 0.01}, {"l3_notag.mp3", 0.0}, {"l3_mpeg25.mp3", 0.0}, {"l2_192.mp2", 0.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> data = LoadFixture(c.file);
        mpeg::StreamInfo info;
        ASSERT_TRUE(mpeg::ReadStreamInfo(data.data(), data.size(), data.size(), info));
        const std::vector<uint64_t> offsets = mpeg::ScanFrames(data.data(), data.size(), info);
        const OurPcm whole = DecodeWithOurs(data);
        ASSERT_EQ(offsets.size(), static_cast<size_t>(whole.frames));
        std::vector<uint64_t> targets = {0, 1, info.length - 1, info.length - 2000};
        std::mt19937 random(42);
        for (int i = 0; i < 6; ++i) targets.push_back(random() % info.length);
        for (uint64_t target : targets) {
            SCOPED_TRACE(target);
            const mpeg::SeekPlan plan = mpeg::PlanSeek(info, &offsets, target);
            const OurPcm rest = DecodeWithOurs({data.begin() + static_cast<long>(plan.byteOffset), data.end()});
            const std::vector<float> expected = Slice(whole, info.skipStart + target, 4000);
            const std::vector<float> got = Slice(rest, plan.discardSamples, 4000);
            ASSERT_FALSE(expected.empty());
            EXPECT_TRUE(got == expected) << got.size() << " samples, SNR " << SnrDb(expected, got);
            const mpeg::SeekPlan guess = mpeg::PlanSeek(info, nullptr, target);
            const long landed = std::lower_bound(offsets.begin(), offsets.end(), guess.byteOffset) - offsets.begin();
            EXPECT_LE(std::abs(landed - static_cast<long>(guess.frame)), 1.0 + c.tolerance * static_cast<double>(offsets.size()));
        }
    }
}
