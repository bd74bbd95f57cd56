// Layer I against libmpg123, on streams from our test encoder.
#include <gtest/gtest.h>

#include <cstdio>

#include "layer1_writer.h"
#include "reference_decoder.h"
#include "test_support.h"

namespace {

void ExpectMatchesReference(const Layer1Options& options, const char* label) {
    const std::vector<uint8_t> data = WriteLayer1(options);
    const ReferencePcm reference = DecodeWithReference(data, false);
    ASSERT_TRUE(reference.ok) << label;
    const OurPcm ours = DecodeWithOurs(data);
    EXPECT_EQ(ours.frames, options.frames) << label;
    EXPECT_EQ(ours.damagedFrames, 0) << label;
    EXPECT_EQ(ours.channels, reference.channels) << label;
    EXPECT_EQ(ours.samples.size(), reference.samples.size()) << label;
    const double snr = SnrDb(reference.samples, ours.samples);
    std::printf("[ SNR      ] layer I %-14s %6.1f dB\n", label, snr);
    EXPECT_GE(snr, 96.0) << label;
}

TEST(Layer1, StereoMatchesLibmpg123) { ExpectMatchesReference({}, "stereo"); }

TEST(Layer1, JointStereoSharesUpperSubbands) {
    Layer1Options o;
    o.mode = mpeg::ChannelMode::JointStereo;
    o.modeExtension = 1;  // from subband 8
    ExpectMatchesReference(o, "joint 8");
    o.modeExtension = 3;  // from subband 16
    ExpectMatchesReference(o, "joint 16");
}

TEST(Layer1, MonoAndDualChannelMatchLibmpg123) {
    Layer1Options o;
    o.mode = mpeg::ChannelMode::Mono;
    ExpectMatchesReference(o, "mono");
    o.mode = mpeg::ChannelMode::DualChannel;
    o.rateIndex = 1;
    ExpectMatchesReference(o, "dual 48k");
}

TEST(Layer1, ByteByByteFeedingGivesTheSamePcm) {
    Layer1Options o;
    o.rateIndex = 2;
    o.frames = 40;
    const std::vector<uint8_t> data = WriteLayer1(o);
    EXPECT_TRUE(DecodeWithOurs(data, 1).samples == DecodeWithOurs(data).samples);
}

}  // namespace
