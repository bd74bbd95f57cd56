// Feeding the decoder in pieces must not change the PCM, wherever the pieces end.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

void ExpectSameWhateverTheChunks(const char* file, std::initializer_list<size_t> chunks) {
    const std::vector<uint8_t> data = LoadFixture(file);
    ASSERT_FALSE(data.empty()) << file;
    const OurPcm whole = DecodeWithOurs(data);
    ASSERT_GT(whole.frames, 0);
    for (size_t chunk : chunks) {
        const OurPcm pieces = DecodeWithOurs(data, chunk);
        EXPECT_EQ(pieces.frames, whole.frames) << file << " chunk " << chunk;
        EXPECT_TRUE(pieces.samples == whole.samples) << file << " chunk " << chunk;
    }
}

TEST(Streaming, ByteByByteFeedingGivesTheSamePcmForLayer3) {
    ExpectSameWhateverTheChunks("l3_vbr.mp3", {1, 7, 418, 4096});
}

TEST(Streaming, ByteByByteFeedingGivesTheSamePcmForLayer2) {
    ExpectSameWhateverTheChunks("l2_192.mp2", {1, 13});
}

TEST(Streaming, SmallChunksGiveTheSamePcmForFreeFormat) {
    ExpectSameWhateverTheChunks("l2_free.mp2", {1, 100});
}

TEST(Streaming, SmallChunksGiveTheSamePcmForMpeg25) {
    ExpectSameWhateverTheChunks("l3_mpeg25.mp3", {1, 5});
}

TEST(Streaming, EmptyInputEndsAtOnce) {
    mpeg::DecoderPtr decoder = mpeg::CreateDecoder();
    std::vector<float> pcm(mpeg::kMaxFrameFloats);
    mpeg::FrameOutput out;
    EXPECT_EQ(mpeg::DecodeFrame(*decoder, nullptr, 0, false, pcm.data(), out), mpeg::Result::NeedMoreData);
    EXPECT_EQ(mpeg::DecodeFrame(*decoder, nullptr, 0, true, pcm.data(), out), mpeg::Result::EndOfData);
}

TEST(Streaming, IncompleteFrameAsksForMoreAndKeepsItsBytes) {
    const std::vector<uint8_t> data = LoadFixture("l3_notag.mp3");
    ASSERT_GT(data.size(), 1000u);
    mpeg::DecoderPtr decoder = mpeg::CreateDecoder();
    std::vector<float> pcm(mpeg::kMaxFrameFloats);
    mpeg::FrameOutput out;
    EXPECT_EQ(mpeg::DecodeFrame(*decoder, data.data(), 300, false, pcm.data(), out), mpeg::Result::NeedMoreData);
    EXPECT_EQ(out.consumed, 0u);
    EXPECT_EQ(mpeg::DecodeFrame(*decoder, data.data(), 1000, false, pcm.data(), out), mpeg::Result::Ok);
    EXPECT_EQ(out.samples, 1152);
    EXPECT_EQ(out.consumed, static_cast<size_t>(out.header.frameBytes));
}

TEST(Streaming, Int16ConversionRoundsAndClips) {
    const float in[6] = {0.0f, 0.5f, -0.5f, 1.5f, -1.5f, 1.0f / 32768.0f * 0.6f};
    int16_t out[6];
    mpeg::FloatToInt16(in, out, 6);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 16384);
    EXPECT_EQ(out[2], -16384);
    EXPECT_EQ(out[3], 32767);
    EXPECT_EQ(out[4], -32768);
    EXPECT_EQ(out[5], 1);
}

}  // namespace
