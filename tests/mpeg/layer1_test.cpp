// Layer I against libmpg123, on streams from our test encoder (no common tool writes layer I).
#include <gtest/gtest.h>

#include <cstdio>

#include "layer1_writer.h"
#include "reference_decoder.h"
#include "simd.h"
#include "test_support.h"

TEST(Layer1, EveryChannelModeMatchesLibmpg123) {
    struct Case {
        const char* label;
        mpeg::ChannelMode mode;
        int modeExtension, rateIndex;
    } const cases[] = {
        {"stereo", mpeg::ChannelMode::Stereo, 0, 0},
        {"joint from 8", mpeg::ChannelMode::JointStereo, 1, 0},
        {"joint from 16", mpeg::ChannelMode::JointStereo, 3, 0},
        {"mono", mpeg::ChannelMode::Mono, 0, 0},
        {"dual 48k", mpeg::ChannelMode::DualChannel, 0, 1},
    };
    for (const Case& c : cases) {
        Layer1Options options;
        options.mode = c.mode;
        options.modeExtension = c.modeExtension;
        options.rateIndex = c.rateIndex;
        const std::vector<uint8_t> data = WriteLayer1(options);
        const ReferencePcm reference = DecodeWithReference(data, false);
        ASSERT_TRUE(reference.ok) << c.label;
        for (bool simd : {true, false}) {  // the plain kernels must match as well
            mpeg::SimdAllowed() = simd;
            const OurPcm ours = DecodeWithOurs(data);
            mpeg::SimdAllowed() = true;
            EXPECT_EQ(ours.frames, options.frames) << c.label;
            EXPECT_TRUE(ours.damaged.empty()) << c.label;
            EXPECT_EQ(ours.channels, reference.channels) << c.label;
            EXPECT_EQ(ours.samples.size(), reference.samples.size()) << c.label;
            const double snr = SnrDb(reference.samples, ours.samples);
            std::printf("[ SNR      ] layer I %-14s %-5s %6.1f dB\n", c.label, simd ? "simd" : "plain", snr);
            EXPECT_GE(snr, 96.0) << c.label << (simd ? " simd" : " plain");
        }
    }
    Layer1Options small;
    small.rateIndex = 2;
    small.frames = 40;
    const std::vector<uint8_t> data = WriteLayer1(small);
    EXPECT_TRUE(DecodeWithOurs(data, 1).samples == DecodeWithOurs(data).samples);
}
