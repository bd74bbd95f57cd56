// FLAC and Ogg FLAC through the engine's decoder: bit-exact against libFLAC, seeking.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "codec_support.h"
#include "flac/reference_decoder.h"

using namespace codectest;

namespace {

struct FlacCase {
    const char* file;
    bool ogg;
    int bits;
    FMOD_SOUND_FORMAT format;
};

const FlacCase kCases[] = {
    {"f16.flac", false, 16, FMOD_SOUND_FORMAT_PCM16},
    {"f16_noseek.flac", false, 16, FMOD_SOUND_FORMAT_PCM16},
    {"f24.flac", false, 24, FMOD_SOUND_FORMAT_PCM24},
    {"f16.oga", true, 16, FMOD_SOUND_FORMAT_PCM16},
};

// Our floats back to the integers they came from; any rounding would show.
std::vector<int32_t> ToIntegers(const std::vector<float>& samples, int bits) {
    std::vector<int32_t> out(samples.size());
    const double scale = std::ldexp(1.0, bits - 1);
    for (size_t i = 0; i < samples.size(); ++i) out[i] = static_cast<int32_t>(std::lround(samples[i] * scale));
    return out;
}

class FlacFixture : public ::testing::TestWithParam<FlacCase> {};

TEST_P(FlacFixture, BitExactAgainstLibFlacWholeAndInSmallChunks) {
    const FlacCase& c = GetParam();
    const Bytes bytes = ReadFixture(c.file);
    const ReferenceAudio reference = DecodeWithLibFlac(bytes, c.ogg);
    ASSERT_TRUE(reference.ok);
    auto whole = OpenBytes(bytes);
    ASSERT_EQ(whole->result, FMOD_OK);
    const engine::StreamFormat& f = whole->sound.format;
    EXPECT_EQ(f.type, FMOD_SOUND_TYPE_FLAC);
    EXPECT_EQ(f.format, c.format);
    EXPECT_EQ(f.bitsPerSample, c.bits);
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.lengthFrames, 441000u);
    EXPECT_EQ(f.lengthFrames, reference.totalSamples);

    const std::vector<float> ours = DecodeRest(*whole->sound.decoder, 4096);
    const bool exact = ToIntegers(ours, c.bits) == reference.samples;
    std::printf("[ figures  ] %-16s %s vs libFLAC, %zu frames\n", c.file, exact ? "bit-exact" : "DIFFERENT",
                ours.size() / 2);
    EXPECT_TRUE(exact);
    auto chunked = OpenBytes(bytes);
    EXPECT_EQ(DecodeRest(*chunked->sound.decoder, 61), ours);
}

TEST_P(FlacFixture, SeeksAreSampleAccurate) {
    const FlacCase& c = GetParam();
    auto opened = OpenFixture(c.file);
    ASSERT_EQ(opened->result, FMOD_OK);
    engine::Decoder& d = *opened->sound.decoder;
    const std::vector<float> all = DecodeRest(d, 4096);
    const uint64_t total = all.size() / 2;
    for (uint64_t target : {total / 2, uint64_t{0}, uint64_t{4095}, uint64_t{4096}, total - 1, uint64_t{333333}, uint64_t{1}}) {
        ASSERT_TRUE(d.SeekToFrame(target)) << target;
        const std::vector<float> part = DecodeFrames(d, 3000);
        ASSERT_EQ(part.size(), std::min<uint64_t>(3000, total - target) * 2) << target;
        EXPECT_EQ(MaxDifference(all, part, target * 2), 0.0) << c.file << " at " << target;
    }
    ASSERT_TRUE(d.SeekToFrame(total));
    float out[32];
    EXPECT_EQ(d.ReadFrames(out, 16), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, FlacFixture, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string name = info.param.file;
    for (char& ch : name) if (ch == '.') ch = '_';
    return name;
});

TEST(FlacFormat, RawBytesLeaveOutTheMetadata) {
    const Bytes bytes = ReadFixture("f16.flac");
    // Walk the metadata blocks: each has a 4-byte header with a last-block flag and a size.
    size_t pos = 4;
    bool last = false;
    while (!last) {
        last = bytes[pos] & 0x80;
        pos += 4 + (size_t(bytes[pos + 1]) << 16 | size_t(bytes[pos + 2]) << 8 | bytes[pos + 3]);
    }
    auto opened = OpenBytes(bytes);
    ASSERT_EQ(opened->result, FMOD_OK);
    EXPECT_EQ(opened->sound.format.rawBytes, bytes.size() - pos);
}

}  // namespace
