// Text and number conversions every reader and the output lean on.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "playback/device_samples.h"
#include "formats/time_units.h"
#include "text/utf8.h"

using namespace engine;

TEST(Utf8, ValidityAndLoneSurrogates) {
    for (const char* good : {"", "plain", "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x8E\xB5"}) EXPECT_TRUE(IsValidUtf8(good)) << good;
    // Latin-1, cut sequence, overlong (2 and 3 bytes), surrogate, above U+10FFFF, missing continuation.
    for (const char* bad : {"\xF6", "ab\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3\x28"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    // (Latin-1, UTF-16 pairs and fixed fields arrive through the tag readers' tests.)
    const uint8_t loneSurrogate[] = {0x00, 0xD8, 'a', 0, 'b'};  // and an odd last byte
    EXPECT_EQ(Utf16ToUtf8(loneSurrogate, sizeof loneSurrogate, false), "\xEF\xBF\xBD" "a");
}

TEST(Position, UnitsFollowTheFormat) {
    // (Milliseconds through frames and back: every seek of format_table_test.)
    EXPECT_EQ(FramesToMs(1, 0), 0u);
    StreamFormat f;
    f.channels = 2, f.bitsPerSample = 24, f.sampleRate = 48000, f.lengthFrames = 96000;
    f.rawBytes = 1000;  // compressed: raw bytes scale with the encoded size
    uint64_t bytes = 0, raw = 0, frames = 0;
    ASSERT_TRUE(FramesToUnit(48000, FMOD_TIMEUNIT_PCMBYTES, f, &bytes) && FramesToUnit(48000, FMOD_TIMEUNIT_RAWBYTES, f, &raw) &&
                UnitToFrames(288005, FMOD_TIMEUNIT_PCMBYTES, f, &frames));
    EXPECT_EQ(std::tuple(bytes, raw, frames), std::tuple(288000u, 500u, 48000u));
    EXPECT_FALSE(FramesToUnit(1, 0x40, f, &bytes));
    EXPECT_EQ(Saturate32(1ull << 40), 0xFFFFFFFFu);
}

TEST(DeviceSamples, EveryLayoutRoundsAndClampsAtFullScale) {
    const float in[] = {0.5f, 1.0f, -1.0f, 3.0f, -3.0f, 1.0f / 65536, std::nanf("")};
    struct Case {
        DeviceSamples layout;
        int64_t expected[7];
    } const cases[] = {
        {DeviceSamples::Int16, {16384, 32767, -32768, 32767, -32768, 1, 0}},  // half a step rounds up
        {DeviceSamples::Int24, {4194304, 8388607, -8388608, 8388607, -8388608, 128, 0}},
        {DeviceSamples::Int32, {1073741824, 2147483647, -2147483648LL, 2147483647, -2147483648LL, 32768, 0}},
    };
    for (const Case& c : cases) {
        const size_t bytes = DeviceSampleBytes(c.layout);
        uint8_t out[7 * 4];
        FloatToDevice(in, out, 7, c.layout);
        for (int i = 0; i < 7; ++i) {
            int64_t v = 0;
            for (size_t k = 0; k < bytes; ++k) v |= int64_t(out[i * bytes + k]) << (8 * k);
            if (v >> (8 * bytes - 1)) v -= int64_t(1) << (8 * bytes);
            EXPECT_EQ(v, c.expected[i]) << bytes << " bytes, sample " << i;
        }
    }
    // (The float layout, which Wine's shared mode asks for: the recording test hears it.)
}
