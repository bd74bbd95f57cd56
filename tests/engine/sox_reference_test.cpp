// Our WAV and AIFF decoding against sox's own decoding of files sox wrote.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "formats/format_open.h"
#include "io/file_reader.h"

using namespace engine;

namespace {

std::vector<float> ReadFloats(const std::string& path) {
    std::vector<float> out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    float buf[4096];
    size_t n;
    while ((n = std::fread(buf, sizeof(float), 4096, f)) > 0) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
}

struct Case {
    const char* file;
    FMOD_SOUND_TYPE type;
    FMOD_SOUND_FORMAT format;
    int channels, bits;
    uint32_t rate;
};

}  // namespace

TEST(SoxReference, DecodedSamplesMatchSoxForEveryLayout) {
    const Case cases[] = {
        {"pcm16.wav", FMOD_SOUND_TYPE_WAV, FMOD_SOUND_FORMAT_PCM16, 2, 16, 44100},
        {"pcm24_plain.wav", FMOD_SOUND_TYPE_WAV, FMOD_SOUND_FORMAT_PCM24, 2, 24, 48000},
        {"pcm24_ext.wav", FMOD_SOUND_TYPE_WAV, FMOD_SOUND_FORMAT_PCM24, 2, 24, 44100},
        {"pcm32.wav", FMOD_SOUND_TYPE_WAV, FMOD_SOUND_FORMAT_PCM32, 1, 32, 44100},
        {"pcm8_mono.wav", FMOD_SOUND_TYPE_WAV, FMOD_SOUND_FORMAT_PCM8, 1, 8, 22050},
        {"float32.wav", FMOD_SOUND_TYPE_WAV, FMOD_SOUND_FORMAT_PCMFLOAT, 2, 32, 44100},
        {"six.wav", FMOD_SOUND_TYPE_WAV, FMOD_SOUND_FORMAT_PCM16, 6, 16, 44100},
        {"pcm16.aiff", FMOD_SOUND_TYPE_AIFF, FMOD_SOUND_FORMAT_PCM16, 2, 16, 44100},
        {"pcm24.aiff", FMOD_SOUND_TYPE_AIFF, FMOD_SOUND_FORMAT_PCM24, 1, 24, 96000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = std::string(ENGINE_FIXTURES) + "/" + c.file;
        FMOD_RESULT result;
        auto reader = OpenStdioFile(path.c_str(), &result);
        ASSERT_NE(reader, nullptr);
        TagList tags;
        OpenedSound sound;
        ASSERT_EQ(OpenByContent(std::move(reader), tags, sound), FMOD_OK);
        const StreamFormat& f = sound.format;
        EXPECT_EQ(f.type, c.type);
        EXPECT_EQ(f.format, c.format);
        EXPECT_EQ(f.channels, c.channels);
        EXPECT_EQ(f.bitsPerSample, c.bits);
        EXPECT_EQ(f.sampleRate, c.rate);
        EXPECT_EQ(f.lengthFrames, c.rate * 3 / 2);

        const std::vector<float> reference = ReadFloats(path + ".f32");
        ASSERT_EQ(reference.size(), f.lengthFrames * c.channels);
        std::vector<float> decoded, chunk(1023 * c.channels);
        for (int64_t n; (n = sound.decoder->ReadFrames(chunk.data(), 1023)) > 0;)
            decoded.insert(decoded.end(), chunk.begin(), chunk.begin() + n * c.channels);
        ASSERT_EQ(decoded.size(), reference.size());
        size_t mismatches = 0;
        for (size_t i = 0; i < reference.size(); ++i) mismatches += std::fabs(decoded[i] - reference[i]) > 1e-7f;
        EXPECT_EQ(mismatches, 0u);

        // Seeking lands on the same samples.
        const uint64_t frame = f.lengthFrames / 3 + 7;
        ASSERT_TRUE(sound.decoder->SeekToFrame(frame));
        ASSERT_EQ(sound.decoder->ReadFrames(chunk.data(), 1), 1);
        EXPECT_NEAR(chunk[0], reference[frame * c.channels], 1e-7f);
    }
}
