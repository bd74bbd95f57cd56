// Frame headers: what is no header, and what belongs to the same stream. (Fields and frame
// sizes of every layer and version show in the comparisons with libmpg123.)
#include <gtest/gtest.h>

#include "mpeg/mpeg.h"

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
