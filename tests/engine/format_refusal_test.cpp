// Files recognised only to be refused (FSB, XMA) and headerless audio taken by its name.
#include <gtest/gtest.h>

#include "engine_support.h"

using namespace engine;
using namespace enginetest;

namespace {

Bytes Join(const std::string& head, Bytes tail) { return tail.insert(tail.begin(), head.begin(), head.end()), tail; }

// A WAV with this format tag; `chunk` renames its first chunk ("fmt ").
Bytes Wav(uint16_t tag, const Bytes& data, const char* chunk = "fmt ") {
    Bytes b = MakeWav({.formatTag = tag, .data = data});
    return std::copy_n(chunk, 4, b.begin() + 12), b;
}

}  // namespace

TEST(Refusals, SoundBanksAndXmaAreRefusedFromTheirHead) {
    // MPEG frames behind each header: without the refusal the frame search would play them.
    const Bytes mp3 = ReadFixture("l3_cbr128.mp3"), xma2 = Wav(0, mp3, "XMA2");
    const std::pair<Bytes, FMOD_RESULT> cases[] = {
        {Join("FSB3", mp3), FMOD_ERR_FORMAT}, {Join("FSB4", mp3), FMOD_ERR_FORMAT}, {Join("FSB5", mp3), FMOD_ERR_FORMAT},
        {Join("FSB5", {}), FMOD_ERR_FORMAT},  {Wav(0x165, mp3), FMOD_ERR_FORMAT},   {Wav(0x166, mp3), FMOD_ERR_FORMAT},
        {xma2, FMOD_ERR_FORMAT},              {Bytes(xma2.begin(), xma2.begin() + 16), FMOD_ERR_FORMAT},
        {Join("FSB9", mp3), FMOD_OK},         {Wav(0x55, mp3), FMOD_OK},  // the same frames, not refused
    };
    for (const auto& [file, result] : cases) {
        EXPECT_EQ(OpenReader(std::make_unique<TestReader>(file, TestReaderOptions{}))->result, result) << file.size();
        const uint64_t read = TestReader::bytesReadByLast;  // a refusal drops the reader
        EXPECT_TRUE(result == FMOD_OK || read <= kProbeBytes) << file.size() << ": " << read << " bytes read";
    }
}

TEST(Refusals, HeaderlessAudioPlaysAsRawOnlyWhenNamedSo) {
    for (const auto& [name, raw] : {std::pair{"a.raw", true}, {"C:\\Musik\\B.RAW", true}, {"x.Raw", true},
                                    {"raw", false}, {"a.raw.wav", false}, {"a.rawx", false}, {".ra", false}})
        EXPECT_EQ(NamesRawFile(name), raw) << name;
    const std::vector<float> sine = Sine(440, 44100, 2, 1001);
    const Bytes pcm = EncodePcmLe(sine, 2);
    Bytes cut = pcm;
    cut.push_back(7);
    const std::tuple<Bytes, bool, FMOD_RESULT, FMOD_SOUND_TYPE> cases[] = {
        {cut, true, FMOD_OK, FMOD_SOUND_TYPE_RAW},  // a cut frame at the end is not played
        {Wav(1, pcm), true, FMOD_OK, FMOD_SOUND_TYPE_WAV},
        {Join("FSB4", pcm), true, FMOD_ERR_FORMAT, {}},
        {Bytes{1, 2, 3}, true, FMOD_ERR_FORMAT, {}},
    };
    for (const auto& [file, named, result, type] : cases) {
        auto opened = OpenBytes(file, {.headerlessRaw = named});
        ASSERT_EQ(opened->result, result) << file.size();
        if (result != FMOD_OK) continue;
        const StreamFormat& f = opened->sound.format;
        EXPECT_EQ(std::tuple(f.type, f.channels, f.sampleRate, f.lengthFrames), std::tuple(type, 2, 44100u, 1001u));
        EXPECT_LE(MaxDifference(DecodeAll(*opened->sound.decoder), sine), 1.0 / 32767);
    }
}
