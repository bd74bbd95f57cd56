// MPEG audio through the engine's decoder: against libmpg123, lengths, chunking, seeking.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "codec_support.h"
#include "mpeg/layer1_writer.h"
#include "mpeg/reference_decoder.h"

using namespace codectest;

namespace {

struct MpegCase {
    const char* file;
    double minSnr;
    int channels;
    uint32_t rate;
};

// Layer III at MPEG-1, 2 and 2.5, CBR and VBR, with and without an Info frame; layer II.
const MpegCase kCases[] = {
    {"l3_cbr128.mp3", 90, 2, 44100}, {"l3_vbr.mp3", 90, 2, 44100},     {"l3_noinfo.mp3", 90, 2, 44100},
    {"l3_mono.mp3", 90, 1, 44100},   {"l3_mpeg2.mp3", 90, 2, 22050},   {"l3_mpeg25.mp3", 90, 1, 8000},
    {"l2_192.mp2", 96, 2, 44100},    {"l2_mpeg2.mp2", 96, 2, 22050},
};

class MpegFixture : public ::testing::TestWithParam<MpegCase> {};

TEST_P(MpegFixture, MatchesLibmpg123WholeAndInSmallChunks) {
    const MpegCase& c = GetParam();
    const Bytes bytes = ReadFixture(c.file);
    const ReferencePcm reference = DecodeWithReference(bytes, true);
    ASSERT_TRUE(reference.ok);
    auto whole = OpenBytes(bytes);
    ASSERT_EQ(whole->result, FMOD_OK);
    const engine::StreamFormat& f = whole->sound.format;
    EXPECT_EQ(f.type, FMOD_SOUND_TYPE_MPEG);
    EXPECT_EQ(f.channels, c.channels);
    EXPECT_EQ(f.sampleRate, c.rate);
    EXPECT_EQ(f.format, FMOD_SOUND_FORMAT_PCM16);

    const std::vector<float> ours = DecodeRest(*whole->sound.decoder, 4096);
    const double snr = SnrDb(reference.samples, ours);
    const uint64_t ourFrames = ours.size() / c.channels, refFrames = reference.samples.size() / c.channels;
    std::printf("[ figures  ] %-14s SNR %6.1f dB vs libmpg123, %llu frames (reference %llu), length %llu\n", c.file,
                snr, (unsigned long long)ourFrames, (unsigned long long)refFrames,
                (unsigned long long)f.lengthFrames);
    EXPECT_GE(snr, c.minSnr);
    // Lengths within one frame of the reference, and what the header announced is what plays.
    EXPECT_LE(ourFrames > refFrames ? ourFrames - refFrames : refFrames - ourFrames, 1152u);
    EXPECT_LE(f.lengthFrames > ourFrames ? f.lengthFrames - ourFrames : ourFrames - f.lengthFrames, 1152u);

    auto chunked = OpenBytes(bytes);
    EXPECT_EQ(DecodeRest(*chunked->sound.decoder, 37), ours);
}

// Samples after a seek equal those of the whole decode at the same place.
TEST_P(MpegFixture, SeeksLandOnTheSameSamplesAsAWholeDecode) {
    const MpegCase& c = GetParam();
    auto opened = OpenFixture(c.file);
    ASSERT_EQ(opened->result, FMOD_OK);
    engine::Decoder& d = *opened->sound.decoder;
    const std::vector<float> all = DecodeRest(d, 4096);
    const uint64_t total = all.size() / c.channels;
    ASSERT_GT(total, 10000u);
    for (uint64_t target : {uint64_t{0}, total / 3, uint64_t{12345}, total / 2 + 7, total - 2000, uint64_t{1}}) {
        ASSERT_TRUE(d.SeekToFrame(target)) << target;
        const std::vector<float> part = DecodeFrames(d, 1500);
        ASSERT_EQ(part.size(), std::min<uint64_t>(1500, total - target) * c.channels) << target;
        EXPECT_LT(MaxDifference(all, part, target * c.channels), 1e-6) << c.file << " at " << target;
    }
    // At and past the end nothing is left.
    ASSERT_TRUE(d.SeekToFrame(total));
    float out[64];
    EXPECT_EQ(d.ReadFrames(out, 16), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, MpegFixture, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             for (char& ch : name) if (ch == '.') ch = '_';
                             return name;
                         });

// No common encoder writes layer I: the MPEG tests' small writer makes the streams.
TEST(MpegLayer1, MatchesLibmpg123InStereoJointAndMono) {
    Layer1Options stereo, joint, mono;
    joint.mode = mpeg::ChannelMode::JointStereo;
    joint.modeExtension = 1;
    mono.mode = mpeg::ChannelMode::Mono;
    mono.rateIndex = 1;
    mono.bitrateIndex = 8;
    for (const Layer1Options* options : {&stereo, &joint, &mono}) {
        const Bytes bytes = WriteLayer1(*options);
        const ReferencePcm reference = DecodeWithReference(bytes, false);  // no LAME tag: nothing to trim
        ASSERT_TRUE(reference.ok);
        auto opened = OpenBytes(bytes);
        ASSERT_EQ(opened->result, FMOD_OK);
        EXPECT_EQ(opened->sound.format.channels, reference.channels);
        EXPECT_EQ(opened->sound.format.sampleRate, uint32_t(reference.sampleRate));
        const std::vector<float> ours = DecodeRest(*opened->sound.decoder, 300);
        EXPECT_EQ(ours.size(), reference.samples.size());
        // The writer's tones peak near 2; the engine hands out full scale at most.
        std::vector<float> clipped = reference.samples;
        for (float& v : clipped) v = std::clamp(v, -1.0f, 1.0f);
        EXPECT_GT(*std::max_element(reference.samples.begin(), reference.samples.end()), 1.0f);
        const double snr = SnrDb(clipped, ours);
        std::printf("[ figures  ] layer I %-6s SNR %6.1f dB vs libmpg123\n",
                    options == &stereo ? "stereo" : options == &joint ? "joint" : "mono", snr);
        EXPECT_GE(snr, 96.0);
    }
}

TEST(MpegLength, TenSecondLameFileLastsExactlyTenSeconds) {
    for (const char* file : {"l3_cbr128.mp3", "l3_vbr.mp3", "tag_lame.mp3"}) {
        auto opened = OpenFixture(file);
        ASSERT_EQ(opened->result, FMOD_OK) << file;
        EXPECT_EQ(opened->sound.format.lengthFrames, 441000u) << file;
        EXPECT_EQ(DecodeRest(*opened->sound.decoder, 4096).size(), 441000u * 2) << file;
    }
}

TEST(MpegLength, RawBytesAreTheAudioBetweenTheTags) {
    const Bytes plain = ReadFixture("l3_cbr128.mp3");
    auto a = OpenBytes(plain);
    ASSERT_EQ(a->result, FMOD_OK);
    EXPECT_EQ(a->sound.format.rawBytes, plain.size());
    // The same audio behind ID3v2 tags and before APE and ID3v1 tags.
    for (const char* file : {"tag_v23_utf16.mp3", "tag_v24_utf8.mp3", "tag_v1_ape.mp3"}) {
        auto b = OpenFixture(file);
        ASSERT_EQ(b->result, FMOD_OK) << file;
        EXPECT_EQ(b->sound.format.rawBytes, plain.size()) << file;
        EXPECT_EQ(b->sound.format.lengthFrames, 441000u) << file;
    }
}

TEST(MpegLength, EstimateWithoutInfoFrameIsWithinOneFrameForLargeFiles) {
    // Beyond the size counted whole, the length comes from the first frames and the size.
    const Bytes one = ReadFixture("l3_noinfo.mp3");
    Bytes many;
    for (int i = 0; i < 8; ++i) many.insert(many.end(), one.begin(), one.end());
    auto opened = OpenBytes(many);
    ASSERT_EQ(opened->result, FMOD_OK);
    const uint64_t decoded = DecodeRest(*opened->sound.decoder, 4096).size() / 2;
    const uint64_t announced = opened->sound.format.lengthFrames;
    EXPECT_LE(announced > decoded ? announced - decoded : decoded - announced, 1152u);
}

}  // namespace
