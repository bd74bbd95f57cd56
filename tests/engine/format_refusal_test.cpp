// Files recognised only to be refused (FSB, XMA) and headerless audio taken by its name.
#include <gtest/gtest.h>

#include "engine_support.h"

using namespace engine;
using namespace enginetest;

namespace {

Bytes Join(const std::string& head, const Bytes& tail) {
    Bytes b(head.begin(), head.end());
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

// A WAV with this format tag; `chunk` renames its first chunk ("fmt ").
Bytes Wav(uint16_t tag, const Bytes& data, const char* chunk = "fmt ") {
    WavLayout layout;
    layout.formatTag = tag, layout.data = data;
    Bytes b = MakeWav(layout);
    std::copy_n(chunk, 4, b.begin() + 12);
    return b;
}

// Counts into a number that outlives it: a refusal drops the reader.
struct CountingReader : MemoryReader {
    CountingReader(Bytes bytes, uint64_t* count) : MemoryReader(std::move(bytes)), count(count) {}
    int64_t Read(void* buffer, size_t n) override {
        const int64_t got = MemoryReader::Read(buffer, n);
        return *count += std::max<int64_t>(got, 0), got;
    }
    uint64_t* count;
};

}  // namespace

TEST(Refusals, SoundBanksAndXmaAreRefusedFromTheirHead) {
    // MPEG frames behind each header: without the refusal the frame search would play them.
    const Bytes mp3 = ReadFixture("l3_cbr128.mp3");
    const Bytes xma2 = Wav(0, mp3, "XMA2");
    const std::pair<Bytes, FMOD_RESULT> cases[] = {
        {Join("FSB3", mp3), FMOD_ERR_FORMAT},      {Join("FSB4", mp3), FMOD_ERR_FORMAT},
        {Join("FSB5", mp3), FMOD_ERR_FORMAT},      {Join("FSB5", {}), FMOD_ERR_FORMAT},
        {Wav(0x165, mp3), FMOD_ERR_FORMAT},        {Wav(0x166, mp3), FMOD_ERR_FORMAT},
        {xma2, FMOD_ERR_FORMAT},                   {Bytes(xma2.begin(), xma2.begin() + 16), FMOD_ERR_FORMAT},
        {Join("FSB9", mp3), FMOD_OK},              {Wav(0x55, mp3), FMOD_OK},  // the same frames, not refused
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        uint64_t read = 0;
        EXPECT_EQ(OpenReader(std::make_unique<CountingReader>(cases[i].first, &read))->result, cases[i].second) << i;
        EXPECT_TRUE(cases[i].second == FMOD_OK || read <= kProbeBytes) << i << ": " << read << " bytes read";
    }
}

TEST(Refusals, HeaderlessAudioPlaysAsRawOnlyWhenNamedSo) {
    for (const auto& [name, raw] : {std::pair{"a.raw", true}, {"C:\\Musik\\B.RAW", true}, {"x.Raw", true},
                                    {"raw", false}, {"a.raw.wav", false}, {"a.rawx", false}, {".ra", false}})
        EXPECT_EQ(NamesRawFile(name), raw) << name;

    const std::vector<float> sine = Sine(440, 44100, 2, 1001);
    const Bytes pcm = EncodePcmLe(sine, 2);
    Bytes cut = pcm;
    cut.push_back(7);  // a cut frame at the end is not played
    struct Case {
        Bytes file;
        bool named;
        FMOD_RESULT result;
        FMOD_SOUND_TYPE type;
    } cases[] = {
        {pcm, true, FMOD_OK, FMOD_SOUND_TYPE_RAW},
        {cut, true, FMOD_OK, FMOD_SOUND_TYPE_RAW},
        {pcm, false, FMOD_ERR_FORMAT, FMOD_SOUND_TYPE_UNKNOWN},
        {Wav(1, pcm), true, FMOD_OK, FMOD_SOUND_TYPE_WAV},
        {Join("FSB4", pcm), true, FMOD_ERR_FORMAT, FMOD_SOUND_TYPE_UNKNOWN},
        {Bytes{1, 2, 3}, true, FMOD_ERR_FORMAT, FMOD_SOUND_TYPE_UNKNOWN},
    };
    for (Case& c : cases) {
        OpenHints hints;
        hints.headerlessRaw = c.named;
        TagList tags;
        OpenedSound out;
        ASSERT_EQ(OpenByContent(std::make_unique<MemoryReader>(c.file), tags, out, hints), c.result) << c.file.size();
        if (c.result != FMOD_OK) continue;
        EXPECT_EQ(std::tuple(out.format.type, out.format.channels, out.format.sampleRate, out.format.lengthFrames),
                  std::tuple(c.type, 2, 44100u, 1001u));
        EXPECT_LE(MaxDifference(DecodeAll(*out.decoder), sine), 1.0 / 32767);
    }
}
