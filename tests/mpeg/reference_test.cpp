// Our decoder against libmpg123 on the fixtures: same sample count, format and a
// signal-to-noise floor per layer, whatever the pieces the bytes arrive in.
#include <gtest/gtest.h>

#include <cstdio>

#include "reference_decoder.h"
#include "simd.h"
#include "test_support.h"

namespace {

struct Case {
    const char* file;
    double minSnrDb;
    int channels;
    int sampleRate;
    std::vector<size_t> chunks;  // piece sizes that must give the same samples
};

class ReferenceComparison : public testing::TestWithParam<Case> {};

// The eight-lane kernels are chosen by processor; the plain ones must match as well.
TEST_P(ReferenceComparison, MatchesLibmpg123WithAndWithoutSimd) {
    const Case& c = GetParam();
    const std::vector<uint8_t> data = LoadFixture(c.file);
    ASSERT_FALSE(data.empty()) << c.file;
    const ReferencePcm reference = DecodeWithReference(data, false);
    ASSERT_TRUE(reference.ok);
    for (bool simd : {true, false}) {
        mpeg::SimdAllowed() = simd;
        const OurPcm ours = DecodeWithOurs(data);
        mpeg::SimdAllowed() = true;
        EXPECT_EQ(ours.channels, c.channels);
        EXPECT_EQ(ours.sampleRate, c.sampleRate);
        EXPECT_EQ(reference.channels, ours.channels);
        EXPECT_TRUE(ours.damaged.empty());
        EXPECT_EQ(ours.samples.size(), reference.samples.size());
        const double snr = SnrDb(reference.samples, ours.samples);
        std::printf("[ SNR      ] %-18s %-5s %6.1f dB\n", c.file, simd ? "simd" : "plain", snr);
        EXPECT_GE(snr, c.minSnrDb) << (simd ? "simd" : "plain");
        if (simd)
            for (size_t chunk : c.chunks) EXPECT_TRUE(DecodeWithOurs(data, chunk).samples == ours.samples) << "chunk " << chunk;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ReferenceComparison,
    testing::Values(Case{"l3_cbr128.mp3", 90, 2, 44100}, Case{"l3_vbr.mp3", 90, 2, 44100, {1, 7, 418, 4096}},
                    Case{"l3_notag.mp3", 90, 2, 44100}, Case{"l3_stereo48.mp3", 90, 2, 48000},
                    Case{"l3_dual.mp3", 90, 2, 44100}, Case{"l3_mono.mp3", 90, 1, 44100},
                    Case{"l3_mpeg2.mp3", 90, 2, 22050}, Case{"l3_mpeg25.mp3", 90, 1, 8000, {1, 5}},
                    Case{"l3_32k320.mp3", 90, 2, 32000}, Case{"l3_crc.mp3", 90, 2, 44100},
                    Case{"l2_192.mp2", 96, 2, 44100, {1, 13}}, Case{"l2_crc.mp2", 96, 2, 44100},
                    Case{"l2_stereo48.mp2", 96, 2, 48000}, Case{"l2_dual.mp2", 96, 2, 44100},
                    Case{"l2_mono.mp2", 96, 1, 44100}, Case{"l2_lowrate.mp2", 96, 2, 44100},
                    Case{"l2_mpeg2.mp2", 96, 2, 22050}),
    [](const testing::TestParamInfo<Case>& info) {
        std::string name = info.param.file;
        for (char& ch : name)
            if (ch == '.') ch = '_';
        return name;
    });

}  // namespace

// Free format: the same frames with the bitrate field cleared must decode as before; the
// decoder then learns the frame size from the distance between headers.
TEST(FreeFormat, FramesWithoutBitrateDecodeLikeTheOriginal) {
    std::vector<uint8_t> data = LoadFixture("l2_192.mp2");
    ASSERT_FALSE(data.empty());
    const ReferencePcm reference = DecodeWithReference(data, false);
    size_t pos = 0;
    int frames = 0;
    while (pos + 4 <= data.size()) {
        mpeg::FrameHeader h;
        ASSERT_TRUE(mpeg::ParseFrameHeader(&data[pos], h)) << "at " << pos;
        data[pos + 2] &= 0x0F;  // bitrate index 0: free format
        pos += static_cast<size_t>(h.frameBytes);
        ++frames;
    }
    const OurPcm ours = DecodeWithOurs(data, 1000);
    EXPECT_EQ(ours.frames, frames);
    EXPECT_TRUE(ours.damaged.empty());
    EXPECT_GE(SnrDb(reference.samples, ours.samples), 96.0);
    EXPECT_TRUE(DecodeWithOurs(LoadFixture("l2_free.mp2"), 100).damaged.empty());  // as the encoder wrote it
}

// No encoder at hand writes intensity stereo, but any joint-stereo stream read with the
// intensity bit set is one: the right channel's scalefactors then act as positions. Both
// decoders must read it alike, including the corners such a stream has and real ones do
// not (side data left in bands that intensity coding claims).
std::vector<uint8_t> WithIntensityStereo(std::vector<uint8_t> data) {
    size_t pos = 0;
    mpeg::FrameHeader h;
    while (pos + 4 <= data.size() && mpeg::ParseFrameHeader(&data[pos], h) && h.frameBytes > 0) {
        if (h.mode == mpeg::ChannelMode::JointStereo) data[pos + 3] |= 0x10;
        pos += static_cast<size_t>(h.frameBytes);
    }
    return data;
}

TEST(IntensityStereo, Mpeg1MatchesLibmpg123) {
    const std::vector<uint8_t> data = WithIntensityStereo(LoadFixture("l3_cbr128.mp3"));
    const double snr = SnrDb(DecodeWithReference(data, false).samples, DecodeWithOurs(data).samples);
    std::printf("[ SNR      ] intensity MPEG-1     %6.1f dB\n", snr);
    EXPECT_GE(snr, 90.0);
}

// At low sampling rates the right channel's scalefactors are coded differently under
// intensity stereo, so the rewritten stream has frames whose scalefactors overrun their
// bits. Decoders treat such broken frames each in their own way (we play silence, the
// reference repeats older output); the comparison leaves them and the two frames their
// transforms reach into out.
TEST(IntensityStereo, Mpeg2MatchesLibmpg123OutsideBrokenFrames) {
    const std::vector<uint8_t> data = WithIntensityStereo(LoadFixture("l3_mpeg2.mp3"));
    const ReferencePcm reference = DecodeWithReference(data, false);
    const OurPcm ours = DecodeWithOurs(data);
    ASSERT_EQ(ours.samples.size(), reference.samples.size());
    ASSERT_LT(ours.damaged.size(), static_cast<size_t>(ours.frames / 10));
    std::vector<bool> skip(static_cast<size_t>(ours.frames) + 3, false);
    for (int frame : ours.damaged)
        for (int k = 0; k < 3; ++k) skip[static_cast<size_t>(frame + k)] = true;
    const size_t frameFloats = 576 * 2;
    std::vector<float> a, b;
    for (size_t f = 0; f < static_cast<size_t>(ours.frames); ++f) {
        if (skip[f]) continue;
        a.insert(a.end(), reference.samples.begin() + static_cast<long>(f * frameFloats),
                 reference.samples.begin() + static_cast<long>((f + 1) * frameFloats));
        b.insert(b.end(), ours.samples.begin() + static_cast<long>(f * frameFloats),
                 ours.samples.begin() + static_cast<long>((f + 1) * frameFloats));
    }
    const double snr = SnrDb(a, b);
    std::printf("[ SNR      ] intensity MPEG-2     %6.1f dB (%zu broken frames left out)\n", snr, ours.damaged.size());
    EXPECT_GE(snr, 90.0);
}
