// Lengths: exact from Info/Xing with the LAME tag, estimated otherwise; the trimmed PCM
// equals what the reference plays gaplessly.
#include <gtest/gtest.h>

#include <cstdio>

#include "mpeg/mpeg_stream.h"
#include "reference_decoder.h"
#include "test_support.h"

namespace {

mpeg::StreamInfo InfoOf(const std::vector<uint8_t>& data) {
    mpeg::StreamInfo info;
    EXPECT_TRUE(mpeg::ReadStreamInfo(data.data(), data.size(), data.size(), info));
    return info;
}

void ExpectExactLength(const char* file, uint64_t expected) {
    const std::vector<uint8_t> data = LoadFixture(file);
    ASSERT_FALSE(data.empty());
    const mpeg::StreamInfo info = InfoOf(data);
    EXPECT_TRUE(info.exact);
    EXPECT_TRUE(info.xing.hasLameTag);
    EXPECT_EQ(info.length, expected) << file;

    // Trimming our full decode by skipStart and length gives the reference's gapless PCM.
    const OurPcm ours = DecodeWithOurs(data);
    EXPECT_EQ(static_cast<uint64_t>(ours.frames), info.frames);
    const ReferencePcm gapless = DecodeWithReference(data, true);
    const size_t ch = static_cast<size_t>(ours.channels);
    ASSERT_GE(ours.samples.size(), (info.skipStart + info.length) * ch);
    const std::vector<float> trimmed(ours.samples.begin() + static_cast<long>(info.skipStart * ch),
                                     ours.samples.begin() + static_cast<long>((info.skipStart + info.length) * ch));
    EXPECT_EQ(trimmed.size(), gapless.samples.size());
    EXPECT_GE(SnrDb(gapless.samples, trimmed), 90.0);
}

TEST(Length, InfoOrXingFrameWithLameTagGivesTheExactLength) {
    ExpectExactLength("l3_cbr128.mp3", 441000);
    ExpectExactLength("l3_vbr.mp3", 441000);
    ExpectExactLength("l3_mpeg2.mp3", 220500);  // resampled, still ten seconds
}

// Without a header the length comes from the first frames and the size: within one frame
// of what the reference decodes.
void ExpectEstimateWithinOneFrame(const char* file) {
    const std::vector<uint8_t> data = LoadFixture(file);
    ASSERT_FALSE(data.empty());
    const ReferencePcm reference = DecodeWithReference(data, false);
    const uint64_t referenceLength = reference.samples.size() / static_cast<size_t>(reference.channels);
    // Only the first 16 kB are at hand, as when a player opens a file without reading it.
    mpeg::StreamInfo info;
    ASSERT_TRUE(mpeg::ReadStreamInfo(data.data(), 16384, data.size(), info));
    EXPECT_FALSE(info.exact);
    const int64_t difference = static_cast<int64_t>(info.length) - static_cast<int64_t>(referenceLength);
    std::printf("[ LENGTH   ] %-16s estimate %llu reference %llu\n", file,
                static_cast<unsigned long long>(info.length), static_cast<unsigned long long>(referenceLength));
    EXPECT_LE(std::llabs(difference), info.header.samplesPerFrame) << file;
}

TEST(Length, WithoutInfoFrameTheLengthIsEstimatedWithinOneFrame) {
    // MPEG-2.5 frames of 144 bytes leave no room for an Info frame.
    for (const char* file : {"l3_notag.mp3", "l2_192.mp2", "l2_mpeg2.mp2", "l3_mpeg25.mp3"}) ExpectEstimateWithinOneFrame(file);
}

TEST(Length, WholeFileWithoutHeaderIsCountedExactly) {
    const std::vector<uint8_t> data = LoadFixture("l3_notag.mp3");
    const mpeg::StreamInfo info = InfoOf(data);
    EXPECT_TRUE(info.exact);
    EXPECT_EQ(info.skipStart, 0u);
    EXPECT_EQ(info.length * 2, DecodeWithReference(data, false).samples.size());
}

TEST(Length, Id3v2TagInFrontIsSkipped) {
    std::vector<uint8_t> data = LoadFixture("l3_cbr128.mp3");
    const mpeg::StreamInfo plain = InfoOf(data);
    // A 1000-byte tag whose body is full of false syncs.
    std::vector<uint8_t> tagged = {'I', 'D', '3', 3, 0, 0, 0, 0, 7, 0x68};
    tagged.resize(10 + 1000, 0xFF);
    tagged.insert(tagged.end(), data.begin(), data.end());
    const mpeg::StreamInfo info = InfoOf(tagged);
    EXPECT_EQ(info.firstFrameOffset, 1010u);
    EXPECT_EQ(info.length, plain.length);
}

}  // namespace
