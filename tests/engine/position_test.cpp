#include <gtest/gtest.h>

#include "formats/time_units.h"

using namespace engine;

TEST(Position, MillisecondsSurviveTheRoundTripThroughFrames) {
    for (uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u, 96000u, 192000u}) {
        for (uint64_t ms : {0ull, 1ull, 7ull, 999ull, 1000ull, 1001ull, 123457ull, 3600000ull * 10}) {
            EXPECT_EQ(FramesToMs(MsToFrames(ms, rate), rate), ms) << rate << " Hz, " << ms << " ms";
        }
    }
}

TEST(Position, FramesToMillisecondsTruncates) {
    EXPECT_EQ(FramesToMs(44099, 44100), 999u);
    EXPECT_EQ(FramesToMs(44100, 44100), 1000u);
    EXPECT_EQ(FramesToMs(44, 44100), 0u);
    EXPECT_EQ(FramesToMs(45, 44100), 1u);
    EXPECT_EQ(FramesToMs(1, 0), 0u);
    // Ten hours at 192 kHz does not overflow.
    EXPECT_EQ(FramesToMs(192000ull * 36000, 192000), 36000000u);
}

TEST(Position, UnitsFollowTheFormat) {
    StreamFormat f;
    f.channels = 2;
    f.bitsPerSample = 24;
    f.sampleRate = 48000;
    f.lengthFrames = 96000;
    f.rawBytes = 96000 * 6;
    uint64_t v = 0;
    ASSERT_TRUE(FramesToUnit(48000, FMOD_TIMEUNIT_PCMBYTES, f, &v));
    EXPECT_EQ(v, 288000u);
    ASSERT_TRUE(FramesToUnit(48000, FMOD_TIMEUNIT_RAWBYTES, f, &v));
    EXPECT_EQ(v, 288000u);
    ASSERT_TRUE(UnitToFrames(288005, FMOD_TIMEUNIT_PCMBYTES, f, &v));
    EXPECT_EQ(v, 48000u);
    ASSERT_TRUE(UnitToFrames(1500, FMOD_TIMEUNIT_MS, f, &v));
    EXPECT_EQ(v, 72000u);
    EXPECT_FALSE(FramesToUnit(1, 0x40, f, &v));
    // A compressed stream: raw bytes scale with the encoded size.
    f.rawBytes = 1000;
    ASSERT_TRUE(FramesToUnit(48000, FMOD_TIMEUNIT_RAWBYTES, f, &v));
    EXPECT_EQ(v, 500u);
    EXPECT_EQ(Saturate32(1ull << 40), 0xFFFFFFFFu);
}
