// Frame headers: the fields, the frame size they imply, and what is no header.
#include <gtest/gtest.h>

#include "mpeg/mpeg.h"

namespace {

mpeg::FrameHeader Parse(uint8_t b1, uint8_t b2, uint8_t b3) {
    const uint8_t bytes[4] = {0xFF, b1, b2, b3};
    mpeg::FrameHeader h;
    EXPECT_TRUE(mpeg::ParseFrameHeader(bytes, h));
    return h;
}

TEST(FrameHeader, Mpeg1Layer3SizesFollowBitrateAndPadding) {
    const mpeg::FrameHeader h = Parse(0xFB, 0x90, 0x44);  // 128 kbit/s, 44.1 kHz, joint stereo
    EXPECT_EQ(h.version, mpeg::Version::Mpeg1);
    EXPECT_EQ(h.layer, 3);
    EXPECT_FALSE(h.hasCrc);
    EXPECT_EQ(h.bitrateKbps, 128);
    EXPECT_EQ(h.sampleRate, 44100);
    EXPECT_EQ(h.mode, mpeg::ChannelMode::JointStereo);
    EXPECT_EQ(h.channels, 2);
    EXPECT_EQ(h.samplesPerFrame, 1152);
    EXPECT_EQ(h.frameBytes, 417);
    EXPECT_EQ(Parse(0xFB, 0x92, 0x44).frameBytes, 418);
    EXPECT_TRUE(Parse(0xFA, 0x90, 0x44).hasCrc);
}

TEST(FrameHeader, Layer1CountsInFourByteSlots) {
    const mpeg::FrameHeader h = Parse(0xFF, 0xC4, 0xC0);  // 384 kbit/s, 48 kHz, mono
    EXPECT_EQ(h.layer, 1);
    EXPECT_EQ(h.samplesPerFrame, 384);
    EXPECT_EQ(h.channels, 1);
    EXPECT_EQ(h.frameBytes, 384);
    EXPECT_EQ(Parse(0xFF, 0xC6, 0xC0).frameBytes, 388);
}

TEST(FrameHeader, LowSamplingRatesHaveHalfFrames) {
    const mpeg::FrameHeader mpeg2 = Parse(0xF3, 0x80, 0x00);  // MPEG-2 layer III 64 kbit/s 22.05 kHz
    EXPECT_EQ(mpeg2.version, mpeg::Version::Mpeg2);
    EXPECT_EQ(mpeg2.sampleRate, 22050);
    EXPECT_EQ(mpeg2.samplesPerFrame, 576);
    EXPECT_EQ(mpeg2.frameBytes, 208);
    const mpeg::FrameHeader mpeg25 = Parse(0xE3, 0x28, 0xC0);  // MPEG-2.5 16 kbit/s 8 kHz mono
    EXPECT_EQ(mpeg25.version, mpeg::Version::Mpeg25);
    EXPECT_EQ(mpeg25.sampleRate, 8000);
    EXPECT_EQ(mpeg25.frameBytes, 144);
    const mpeg::FrameHeader layer2 = Parse(0xF5, 0x80, 0x00);  // MPEG-2 layer II keeps 1152
    EXPECT_EQ(layer2.samplesPerFrame, 1152);
    EXPECT_EQ(layer2.frameBytes, 417);
}

TEST(FrameHeader, FreeFormatHasNoSize) {
    const mpeg::FrameHeader h = Parse(0xFD, 0x00, 0x04);
    EXPECT_EQ(h.bitrateIndex, 0);
    EXPECT_EQ(h.frameBytes, 0);
}

TEST(FrameHeader, ForbiddenFieldsAreNoHeader) {
    const uint8_t cases[][4] = {
        {0xFF, 0xEB, 0x90, 0x44},  // version 01 is reserved
        {0xFF, 0xF9, 0x90, 0x44},  // layer 00 is reserved
        {0xFF, 0xFB, 0xF0, 0x44},  // bitrate 1111
        {0xFF, 0xFB, 0x9C, 0x44},  // sample rate 11
        {0xFE, 0xFB, 0x90, 0x44},  // sync broken
        {0xFF, 0x7B, 0x90, 0x44},
    };
    for (const auto& bytes : cases) {
        mpeg::FrameHeader h;
        EXPECT_FALSE(mpeg::ParseFrameHeader(bytes, h));
    }
}

TEST(FrameHeader, FramesOfOneStreamAgreeExceptInBitrate) {
    const mpeg::FrameHeader a = Parse(0xFB, 0x90, 0x44);
    EXPECT_TRUE(mpeg::SameStream(a, Parse(0xFB, 0xE2, 0x04)));   // other bitrate, padding, mode
    EXPECT_FALSE(mpeg::SameStream(a, Parse(0xFB, 0x94, 0x44)));  // 48 kHz
    EXPECT_FALSE(mpeg::SameStream(a, Parse(0xFB, 0x90, 0xC4)));  // mono
    EXPECT_FALSE(mpeg::SameStream(a, Parse(0xFD, 0x90, 0x44)));  // layer II
}

}  // namespace
