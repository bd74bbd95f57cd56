// Lengths: exact from Info/Xing with the LAME tag, the trimmed PCM equal to what the reference
// plays gaplessly; estimated within one frame otherwise.
#include <gtest/gtest.h>

#include <cstdio>

#include "mpeg/mpeg_stream.h"
#include "reference_decoder.h"
#include "test_support.h"

TEST(Length, ExactWithLameTagAndEstimatedWithinOneFrameWithout) {
    const struct {
        const char* file;
        uint64_t exact;  // 0: no Info frame; MPEG-2.5 frames of 144 bytes leave no room for one
    } cases[] = {{"l3_cbr128.mp3", 441000}, {"l3_vbr.mp3", 441000}, {"l3_mpeg2.mp3", 220500},  // resampled, ten seconds
                 {"l3_notag.mp3", 0},       {"l2_192.mp2", 0},       {"l2_mpeg2.mp2", 0},  {"l3_mpeg25.mp3", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> data = LoadFixture(c.file);
        ASSERT_FALSE(data.empty());
        const ReferencePcm reference = DecodeWithReference(data, c.exact != 0);
        const size_t ch = static_cast<size_t>(reference.channels);
        // Only the first 16 kB are at hand, as when a player opens a file without reading it.
        mpeg::StreamInfo info;
        ASSERT_TRUE(mpeg::ReadStreamInfo(data.data(), 16384, data.size(), info));
        EXPECT_EQ(info.exact, c.exact != 0);
        if (!info.exact) {
            const int64_t difference = static_cast<int64_t>(info.length) - static_cast<int64_t>(reference.samples.size() / ch);
            std::printf("[ LENGTH   ] %-16s estimate off by %lld\n", c.file, static_cast<long long>(difference));
            EXPECT_LE(std::llabs(difference), info.header.samplesPerFrame);
            continue;
        }
        EXPECT_EQ(info.length, c.exact);
        // Trimming our full decode by skipStart and length gives the reference's gapless PCM.
        const OurPcm ours = DecodeWithOurs(data);
        EXPECT_EQ(static_cast<uint64_t>(ours.frames), info.frames);
        ASSERT_GE(ours.samples.size(), (info.skipStart + info.length) * ch);
        const std::vector<float> trimmed(ours.samples.begin() + static_cast<long>(info.skipStart * ch),
                                         ours.samples.begin() + static_cast<long>((info.skipStart + info.length) * ch));
        EXPECT_EQ(trimmed.size(), reference.samples.size());
        EXPECT_GE(SnrDb(reference.samples, trimmed), 90.0);
    }
}
