// Frame headers: the fields, the frame size they imply, and what is no header.
#include <gtest/gtest.h>

#include "mpeg.h"

TEST(FrameHeader, FieldsAndFrameSizesOfEveryLayerAndVersion) {
    struct Case {
        uint8_t b1, b2, b3;
        mpeg::Version version;
        int layer, bitrate, rate, channels, samples, bytes;
        bool crc;
    } const cases[] = {
        {0xFB, 0x90, 0x44, mpeg::Version::Mpeg1, 3, 128, 44100, 2, 1152, 417, false},  // joint stereo
        {0xFB, 0x92, 0x44, mpeg::Version::Mpeg1, 3, 128, 44100, 2, 1152, 418, false},  // padded
        {0xFA, 0x90, 0x44, mpeg::Version::Mpeg1, 3, 128, 44100, 2, 1152, 417, true},
        {0xFF, 0xC4, 0xC0, mpeg::Version::Mpeg1, 1, 384, 48000, 1, 384, 384, false},   // four-byte slots
        {0xFF, 0xC6, 0xC0, mpeg::Version::Mpeg1, 1, 384, 48000, 1, 384, 388, false},
        {0xF3, 0x80, 0x00, mpeg::Version::Mpeg2, 3, 64, 22050, 2, 576, 208, false},     // half frames
        {0xE3, 0x28, 0xC0, mpeg::Version::Mpeg25, 3, 16, 8000, 1, 576, 144, false},
        {0xF5, 0x80, 0x00, mpeg::Version::Mpeg2, 2, 64, 22050, 2, 1152, 417, false},    // layer II keeps 1152
        {0xFD, 0x00, 0x04, mpeg::Version::Mpeg1, 2, 0, 44100, 2, 1152, 0, false},       // free format: no size
    };
    for (const Case& c : cases) {
        const uint8_t bytes[4] = {0xFF, c.b1, c.b2, c.b3};
        mpeg::FrameHeader h;
        ASSERT_TRUE(mpeg::ParseFrameHeader(bytes, h)) << int(c.b1) << " " << int(c.b2);
        EXPECT_EQ(h.version, c.version);
        EXPECT_EQ(h.layer, c.layer);
        EXPECT_EQ(h.bitrateKbps, c.bitrate);
        EXPECT_EQ(h.sampleRate, c.rate);
        EXPECT_EQ(h.channels, c.channels);
        EXPECT_EQ(h.samplesPerFrame, c.samples);
        EXPECT_EQ(h.frameBytes, c.bytes) << int(c.b1) << " " << int(c.b2);
        EXPECT_EQ(h.hasCrc, c.crc);
    }
}

TEST(FrameHeader, ForbiddenFieldsAreNoHeaderAndStreamsAgreeExceptInBitrate) {
    const uint8_t refused[][4] = {
        {0xFF, 0xEB, 0x90, 0x44},  // version 01 is reserved
        {0xFF, 0xF9, 0x90, 0x44},  // layer 00 is reserved
        {0xFF, 0xFB, 0xF0, 0x44},  // bitrate 1111
        {0xFF, 0xFB, 0x9C, 0x44},  // sample rate 11
        {0xFE, 0xFB, 0x90, 0x44},  // sync broken
        {0xFF, 0x7B, 0x90, 0x44},
    };
    mpeg::FrameHeader h;
    for (const auto& bytes : refused) EXPECT_FALSE(mpeg::ParseFrameHeader(bytes, h));
    auto parse = [](uint8_t b1, uint8_t b2, uint8_t b3) {
        const uint8_t bytes[4] = {0xFF, b1, b2, b3};
        mpeg::FrameHeader out;
        EXPECT_TRUE(mpeg::ParseFrameHeader(bytes, out));
        return out;
    };
    const mpeg::FrameHeader a = parse(0xFB, 0x90, 0x44);
    EXPECT_TRUE(mpeg::SameStream(a, parse(0xFB, 0xE2, 0x04)));   // other bitrate, padding, mode
    EXPECT_FALSE(mpeg::SameStream(a, parse(0xFB, 0x94, 0x44)));  // 48 kHz
    EXPECT_FALSE(mpeg::SameStream(a, parse(0xFB, 0x90, 0xC4)));  // mono
    EXPECT_FALSE(mpeg::SameStream(a, parse(0xFD, 0x90, 0x44)));  // layer II
}
