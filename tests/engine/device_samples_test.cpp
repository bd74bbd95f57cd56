#include <gtest/gtest.h>

#include <cstring>

#include "playback/device_samples.h"

using namespace engine;

TEST(DeviceSamples, IntegerLayoutsRoundAndClampAtFullScale) {
    const float in[] = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 3.0f, -3.0f, 1.0f / 65536};
    uint8_t out[8 * 4];

    FloatToDevice(in, out, 8, DeviceSamples::Int16);
    auto s16 = [&](int i) { return static_cast<int16_t>(out[2 * i] | out[2 * i + 1] << 8); };
    EXPECT_EQ(s16(0), 0);
    EXPECT_EQ(s16(1), 16384);
    EXPECT_EQ(s16(2), -16384);
    EXPECT_EQ(s16(3), 32767);
    EXPECT_EQ(s16(4), -32768);
    EXPECT_EQ(s16(5), 32767);
    EXPECT_EQ(s16(6), -32768);
    EXPECT_EQ(s16(7), 1);  // half a step rounds up

    FloatToDevice(in, out, 8, DeviceSamples::Int24);
    auto s24 = [&](int i) {
        int32_t v = out[3 * i] | out[3 * i + 1] << 8 | out[3 * i + 2] << 16;
        return v >= 0x800000 ? v - 0x1000000 : v;
    };
    EXPECT_EQ(s24(1), 4194304);
    EXPECT_EQ(s24(3), 8388607);
    EXPECT_EQ(s24(6), -8388608);
    EXPECT_EQ(s24(7), 128);

    FloatToDevice(in, out, 8, DeviceSamples::Int32);
    auto s32 = [&](int i) {
        int32_t v;
        std::memcpy(&v, out + 4 * i, 4);
        return v;
    };
    EXPECT_EQ(s32(1), 1073741824);
    EXPECT_EQ(s32(3), 2147483647);
    EXPECT_EQ(s32(4), -2147483647 - 1);
}

TEST(DeviceSamples, FloatLayoutPassesThroughButClamps) {
    const float in[] = {0.25f, -2.0f, 1.5f};
    float out[3];
    FloatToDevice(in, reinterpret_cast<uint8_t*>(out), 3, DeviceSamples::Float32);
    EXPECT_EQ(out[0], 0.25f);
    EXPECT_EQ(out[1], -1.0f);
    EXPECT_EQ(out[2], 1.0f);
    EXPECT_EQ(DeviceSampleBytes(DeviceSamples::Int24), 3u);
}
