// Ogg Vorbis against libvorbisfile, chains included (small chunks: engine_decoding_test).
#include <gtest/gtest.h>

#include <cstdio>

#include "engine_support.h"
#include "vorbis_reference.h"

using namespace enginetest;

TEST(VorbisReference, MatchesLibvorbisfile) {
    struct Case {
        const char* file;
        int channels;
        uint32_t rate;
    } const cases[] = {{"v_stereo.ogg", 2, 44100}, {"v_mono22.ogg", 1, 22050}, {"v_chained.ogg", 2, 44100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Bytes bytes = ReadFixture(c.file);
        const VorbisReference reference = DecodeWithVorbisfile(bytes);
        ASSERT_TRUE(reference.ok);
        auto opened = OpenBytes(bytes);
        ASSERT_EQ(opened->result, FMOD_OK);
        const engine::StreamFormat& f = opened->sound.format;
        EXPECT_EQ(f.type, FMOD_SOUND_TYPE_OGGVORBIS);
        EXPECT_EQ(f.channels, c.channels);
        EXPECT_EQ(f.sampleRate, c.rate);
        EXPECT_EQ(f.lengthFrames * c.channels, reference.samples.size());
        const std::vector<float> ours = DecodeAll(*opened->sound.decoder, 4096);
        const double snr = SnrDb(reference.samples, ours);
        std::printf("[ figures  ] %-14s SNR %6.1f dB vs libvorbisfile, max difference %.2g\n", c.file, snr,
                    MaxDifference(reference.samples, ours));
        EXPECT_EQ(ours.size(), reference.samples.size());
        EXPECT_GE(snr, 90.0);
    }
}

// (The chain's length against libvorbisfile is above; engine_decoding_test seeks to its
// middle, the link boundary.)
TEST(VorbisReference, TheFirstLinkNamesAChain) {
    auto chain = OpenBytes(ReadFixture("v_chained.ogg"));
    ASSERT_EQ(chain->result, FMOD_OK);
    EXPECT_EQ(TagValue(chain->tags, "TITLE", FMOD_TAGTYPE_VORBISCOMMENT), "First link");
}
