// Ogg Vorbis against libvorbisfile, chains included (small chunks and seeks to the middle of
// a chain, the link boundary: engine_decoding_test).
#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

#include "engine_support.h"
#include "vorbis_reference.h"

using namespace enginetest;

TEST(VorbisReference, MatchesLibvorbisfile) {
    struct Case {
        const char* file;
        int channels;
        uint32_t rate;
        const char* title;  // a chain's is its first link's
    } const cases[] = {{"v_stereo.ogg", 2, 44100, "Vorbis T\xC3\xAFtel"}, {"v_mono22.ogg", 1, 22050, "<none>"},
                       {"v_chained.ogg", 2, 44100, "First link"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Bytes bytes = ReadFixture(c.file);
        const VorbisReference reference = DecodeWithVorbisfile(bytes);
        ASSERT_TRUE(reference.ok);
        auto opened = OpenBytes(bytes);
        ASSERT_EQ(opened->result, FMOD_OK);
        const engine::StreamFormat& f = opened->sound.format;
        EXPECT_EQ(std::tuple(f.type, f.channels, f.sampleRate), std::tuple(FMOD_SOUND_TYPE_OGGVORBIS, c.channels, c.rate));
        EXPECT_EQ(TagValue(opened->tags, "TITLE", FMOD_TAGTYPE_VORBISCOMMENT), c.title);
        EXPECT_EQ(f.lengthFrames * c.channels, reference.samples.size());
        const std::vector<float> ours = DecodeAll(*opened->sound.decoder, 4096);
        const double snr = SnrDb(reference.samples, ours);
        std::printf("[ figures  ] %-14s SNR %6.1f dB vs libvorbisfile, max difference %.2g\n", c.file, snr,
                    MaxDifference(reference.samples, ours));
        EXPECT_EQ(ours.size(), reference.samples.size());
        EXPECT_GE(snr, 90.0);
    }
}

