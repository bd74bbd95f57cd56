// WAV and AIFF: decoded against sox on files sox wrote, and header corners built byte by byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

#include "engine_support.h"

using namespace engine;
using namespace enginetest;

namespace {

// 16-bit samples of a 440 Hz sine at 44.1 kHz.
WavLayout SineWav(int channels, uint32_t frames) {
    WavLayout s;
    s.channels = channels;
    s.data = EncodePcmLe(Sine(440, s.rate, channels, frames), 2);
    return s;
}

}  // namespace

TEST(PcmReader, DecodesLikeSoxAndSeeksToTheSameSamples) {
    struct Case {
        const char* file;
        FMOD_SOUND_TYPE type;
        FMOD_SOUND_FORMAT format;
        int channels, bits;
        uint32_t rate;
    } const cases[] = {
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
        auto opened = OpenBytes(ReadFixture(c.file));
        ASSERT_EQ(opened->result, FMOD_OK);
        const StreamFormat& f = opened->sound.format;
        EXPECT_EQ(std::tuple(f.type, f.format, f.channels, f.bitsPerSample, f.sampleRate),
                  std::tuple(c.type, c.format, c.channels, c.bits, c.rate));
        EXPECT_EQ(f.rawBytes, f.lengthFrames * c.channels * c.bits / 8);
        const Bytes raw = ReadFixture(std::string(c.file) + ".f32");
        std::vector<float> reference(raw.size() / 4);
        std::memcpy(reference.data(), raw.data(), raw.size() / 4 * 4);
        ASSERT_EQ(reference.size(), f.lengthFrames * c.channels);
        ExpectDecodesLike(*opened->sound.decoder, reference, 1e-7, {0, f.lengthFrames / 3 + 7, f.lengthFrames - 1}, 2);
    }
}

TEST(PcmReader, HeaderCornersOpenAsTheFileAllows) {
    WavLayout lyingSize = SineWav(1, 100);
    lyingSize.declaredDataSize = 0x7FFFFFF0;  // clamped to the file
    Bytes cutWav = MakeWav(SineWav(2, 1000));
    cutWav.resize(cutWav.size() - 401);  // 100 frames and a quarter of one missing
    Bytes formatLast = MakeWav(SineWav(2, 300));
    std::rotate(formatLast.begin() + 12, formatLast.begin() + 36, formatLast.end());  // "fmt " behind "data"
    struct Case {
        const char* what;
        Bytes file;
        uint64_t frames;
        std::vector<float> expected;
    } const cases[] = {
        {"lying data size", MakeWav(lyingSize), 100, Sine(440, 44100, 1, 100)},
        {"cut data", cutWav, 899, Sine(440, 44100, 2, 899)},
        {"extensible float", FloatWav(Sine(440, 44100, 2, 500), 2, true), 500, Sine(440, 44100, 2, 500)},
        {"format chunk after the data", formatLast, 300, Sine(440, 44100, 2, 300)},
    };
    for (const Case& c : cases) {
        auto opened = OpenBytes(c.file);
        ASSERT_EQ(opened->result, FMOD_OK) << c.what;
        EXPECT_EQ(opened->sound.format.lengthFrames, c.frames) << c.what;
        EXPECT_LT(MaxDifference(c.expected, DecodeAll(*opened->sound.decoder, 333)), 1e-4) << c.what;
    }
}

TEST(PcmReader, AbsurdAndForeignHeadersAreRefused) {
    auto wav = [](auto bend) {
        WavLayout s = SineWav(1, 10);
        bend(s);
        return MakeWav(s);
    };
    const std::string text = "ID3 this is not audio at all, just text with a .wav name";
    Bytes headerOnly = MakeWav(SineWav(1, 10));
    headerOnly.resize(12);
    const Bytes refused[] = {
        wav([](WavLayout& s) { s.channels = 4000; }),
        wav([](WavLayout& s) { s.rate = 0; }),
        wav([](WavLayout& s) { s.rate = 4000000000u; }),
        wav([](WavLayout& s) { s.bits = 0; }),
        wav([](WavLayout& s) { s.formatTag = 2; }),                    // 16-bit ADPCM does not exist
        wav([](WavLayout& s) { s.formatTag = 3, s.bits = 24; }),       // 24-bit floats do not exist
        wav([](WavLayout& s) { s.formatTag = 0xFFFE, s.subFormat = 2; }),
        Bytes{}, headerOnly, Bytes(text.begin(), text.end()),
    };
    for (size_t i = 0; i < std::size(refused); ++i) EXPECT_EQ(OpenBytes(refused[i])->result, FMOD_ERR_FORMAT) << i;
}

TEST(PcmReader, InfoTextAndId3ChunksBecomeTagsInFileOrder) {
    WavLayout wav = SineWav(1, 10);
    wav.info = {{"IART", "M\xFCller"}, {"INAM", "Caf\xC3\xA9"}, {"ICMT", "odd"}, {"IXYZ", "own"}};
    // Text and ID3 chunks appended to the AIFF sox wrote, the FORM size grown to match.
    Bytes aiff = ReadFixture("pcm16.aiff");
    for (const auto& [id, text] : {std::pair{"NAME", "Night \xE0 Paris"}, {"AUTH", "Someone"}, {"ANNO", "first take"}})
        PutChunk(aiff, id, Bytes(text, text + std::strlen(text)), true);
    PutChunk(aiff, "ID3 ", {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 16, 'T', 'A', 'L', 'B', 0, 0, 0, 6, 0, 0, 3, 'G', 'r', 0xC3, 0xBC, 'n'}, true);
    for (int k = 0; k < 4; ++k) aiff[4 + k] = uint8_t((aiff.size() - 8) >> (24 - 8 * k));
    const Fields wavTags = {{"ARTIST", "M\xC3\xBCller"}, {"TITLE", "Caf\xC3\xA9"}, {"COMMENT", "odd"}, {"IXYZ", "own"}};
    const Fields aiffTags = {{"TITLE", "Night \xC3\xA0 Paris"}, {"ARTIST", "Someone"}, {"COMMENT", "first take"},
                               {"ALBUM", "Gr\xC3\xBCn"}};
    const Bytes infoBeforeData = MakeWav(wav);
    wav.infoAfterData = true;
    const std::pair<Bytes, Fields> cases[] = {{infoBeforeData, wavTags}, {MakeWav(wav), wavTags}, {aiff, aiffTags}};
    for (const auto& [file, expected] : cases) {
        auto opened = OpenBytes(file);
        ASSERT_EQ(opened->result, FMOD_OK);
        EXPECT_EQ(TagFields(opened->tags), expected);
    }
}
