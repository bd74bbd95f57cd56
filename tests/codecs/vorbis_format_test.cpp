// Ogg Vorbis through the engine's decoder: against libvorbisfile, chains, seeking.
#include <gtest/gtest.h>

#include <cstdio>

#include "codec_support.h"
#include "vorbis_reference.h"

using namespace codectest;

namespace {

struct VorbisCase {
    const char* file;
    int channels;
    uint32_t rate;
};

const VorbisCase kCases[] = {
    {"v_stereo.ogg", 2, 44100},
    {"v_mono22.ogg", 1, 22050},
    {"v_chained.ogg", 2, 44100},
};

class VorbisFixture : public ::testing::TestWithParam<VorbisCase> {};

TEST_P(VorbisFixture, MatchesLibvorbisfileWholeAndInSmallChunks) {
    const VorbisCase& c = GetParam();
    const Bytes bytes = ReadFixture(c.file);
    const VorbisReference reference = DecodeWithVorbisfile(bytes);
    ASSERT_TRUE(reference.ok);
    auto whole = OpenBytes(bytes);
    ASSERT_EQ(whole->result, FMOD_OK);
    const engine::StreamFormat& f = whole->sound.format;
    EXPECT_EQ(f.type, FMOD_SOUND_TYPE_OGGVORBIS);
    EXPECT_EQ(f.channels, c.channels);
    EXPECT_EQ(f.sampleRate, c.rate);
    EXPECT_EQ(f.lengthFrames * c.channels, reference.samples.size());

    const std::vector<float> ours = DecodeRest(*whole->sound.decoder, 4096);
    const double snr = SnrDb(reference.samples, ours);
    std::printf("[ figures  ] %-14s SNR %6.1f dB vs libvorbisfile, max difference %.2g, %zu frames (reference %zu)\n",
                c.file, snr, MaxDifference(reference.samples, ours), ours.size() / c.channels,
                reference.samples.size() / c.channels);
    EXPECT_EQ(ours.size(), reference.samples.size());
    EXPECT_GE(snr, 90.0);
    auto chunked = OpenBytes(bytes);
    EXPECT_EQ(DecodeRest(*chunked->sound.decoder, 53), ours);
}

TEST_P(VorbisFixture, SeeksAreSampleAccurate) {
    const VorbisCase& c = GetParam();
    auto opened = OpenFixture(c.file);
    ASSERT_EQ(opened->result, FMOD_OK);
    engine::Decoder& d = *opened->sound.decoder;
    const std::vector<float> all = DecodeRest(d, 4096);
    const uint64_t total = all.size() / c.channels;
    for (uint64_t target : {total / 2, uint64_t{0}, uint64_t{441000 - 10}, uint64_t{441000 + 3}, total - 1, uint64_t{77777}}) {
        if (target >= total) continue;
        ASSERT_TRUE(d.SeekToFrame(target)) << target;
        const std::vector<float> part = DecodeFrames(d, 2000);
        ASSERT_EQ(part.size(), std::min<uint64_t>(2000, total - target) * c.channels) << target;
        EXPECT_LT(MaxDifference(all, part, target * c.channels), 1e-5) << c.file << " at " << target;
    }
    ASSERT_TRUE(d.SeekToFrame(total));
    float out[32];
    EXPECT_EQ(d.ReadFrames(out, 16), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, VorbisFixture, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string name = info.param.file;
    for (char& ch : name) if (ch == '.') ch = '_';
    return name;
});

TEST(VorbisChain, LengthIsTheSumOfTheLinks) {
    auto first = OpenFixture("link1.ogg");
    auto second = OpenFixture("link2.ogg");
    auto chain = OpenFixture("v_chained.ogg");
    ASSERT_EQ(chain->result, FMOD_OK);
    EXPECT_EQ(first->sound.format.lengthFrames, 441000u);
    EXPECT_EQ(chain->sound.format.lengthFrames, first->sound.format.lengthFrames + second->sound.format.lengthFrames);
    // The first link's comments are the sound's tags.
    EXPECT_EQ(TagValue(chain->tags, FMOD_TAGTYPE_VORBISCOMMENT, "TITLE"), "First link");
}

}  // namespace
