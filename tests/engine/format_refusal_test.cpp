// Files recognised only to be refused (FSB, XMA) and headerless audio taken by its name.
#include <gtest/gtest.h>

#include <cstring>

#include "engine_support.h"

using namespace engine;
using namespace enginetest;

namespace {

Bytes Join(const std::string& head, const Bytes& tail) {
    Bytes b(head.begin(), head.end());
    b.insert(b.end(), tail.begin(), tail.end());
    return b;
}

// A RIFF WAVE whose first chunk is `chunk` with a 16-byte body starting with `tag`.
Bytes Riff(const std::string& chunk, uint16_t tag, const Bytes& audio) {
    Bytes body;
    PutLe16(body, tag);
    PutLe16(body, 2);
    PutLe32(body, 44100);
    body.resize(16);
    Bytes wave;
    PutText(wave, "WAVE");
    PutChunk(wave, chunk, body);
    PutChunk(wave, "data", audio);
    Bytes file;
    PutChunk(file, "RIFF", wave);
    return file;
}

// Counts into a number that outlives it: a refusal drops the reader.
struct CountingReader : MemoryReader {
    CountingReader(Bytes bytes, uint64_t* count) : MemoryReader(std::move(bytes)), count_(count) {}
    int64_t Read(void* buffer, size_t n) override {
        const int64_t got = MemoryReader::Read(buffer, n);
        *count_ += got > 0 ? got : 0;
        return got;
    }
    uint64_t* count_;
};

}  // namespace

TEST(Refusals, SoundBanksAndXmaAreRefusedFromTheirHead) {
    // MPEG frames behind each header: without the refusal the frame search would play them.
    const Bytes mp3 = ReadFixture("l3_cbr128.mp3");
    const Bytes xma2 = Riff("XMA2", 0, mp3);
    struct Case {
        const char* what;
        Bytes file;
        FMOD_RESULT result;
    } cases[] = {
        {"FSB3", Join("FSB3", mp3), FMOD_ERR_FORMAT},
        {"FSB4", Join("FSB4", mp3), FMOD_ERR_FORMAT},
        {"FSB5", Join("FSB5", mp3), FMOD_ERR_FORMAT},
        {"FSB5 alone", Join("FSB5", {}), FMOD_ERR_FORMAT},
        {"XMA format tag", Riff("fmt ", 0x165, mp3), FMOD_ERR_FORMAT},
        {"XMA2 format tag", Riff("fmt ", 0x166, mp3), FMOD_ERR_FORMAT},
        {"XMA2 chunk", Riff("XMA2", 0, mp3), FMOD_ERR_FORMAT},
        {"XMA2 chunk cut", Bytes(xma2.begin(), xma2.begin() + 16), FMOD_ERR_FORMAT},
        {"the same frames behind another name", Join("FSB9", mp3), FMOD_OK},
        {"MPEG audio in RIFF", Riff("fmt ", 0x55, mp3), FMOD_OK},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint64_t read = 0;
        EXPECT_EQ(OpenReader(std::make_unique<CountingReader>(c.file, &read))->result, c.result);
        EXPECT_LE(read, c.result == FMOD_OK ? c.file.size() * 2 : kProbeBytes);
    }
}

static Bytes WavWith(const Bytes& data) {
    WavLayout layout;
    layout.data = data;
    return MakeWav(layout);
}

TEST(Refusals, HeadlessAudioPlaysAsRawOnlyWhenNamedSo) {
    for (const auto& [name, raw] : {std::pair{"a.raw", true}, {"C:\\Musik\\B.RAW", true}, {"x.Raw", true},
                                    {"raw", false}, {"a.raw.wav", false}, {"a.rawx", false}, {".ra", false}})
        EXPECT_EQ(NamesRawFile(name), raw) << name;

    const Bytes pcm = EncodePcmLe(Sine(440, 44100, 2, 1001), 2);
    Bytes odd = pcm;
    odd.push_back(7);  // a cut frame at the end is not played
    struct Case {
        const char* what;
        Bytes file;
        bool named;
        FMOD_RESULT result;
        FMOD_SOUND_TYPE type;
    } cases[] = {
        {"named .raw", pcm, true, FMOD_OK, FMOD_SOUND_TYPE_RAW},
        {"cut frame", odd, true, FMOD_OK, FMOD_SOUND_TYPE_RAW},
        {"other name", pcm, false, FMOD_ERR_FORMAT, FMOD_SOUND_TYPE_UNKNOWN},
        {"a WAV named .raw", WavWith(pcm), true, FMOD_OK, FMOD_SOUND_TYPE_WAV},
        {"a sound bank named .raw", Join("FSB4", pcm), true, FMOD_ERR_FORMAT, FMOD_SOUND_TYPE_UNKNOWN},
        {"less than a frame", Bytes{1, 2, 3}, true, FMOD_ERR_FORMAT, FMOD_SOUND_TYPE_UNKNOWN},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenHints hints;
        hints.headerlessRaw = c.named;
        TagList tags;
        OpenedSound out;
        ASSERT_EQ(OpenByContent(std::make_unique<MemoryReader>(c.file), tags, out, hints), c.result);
        if (c.result != FMOD_OK) continue;
        EXPECT_EQ(out.format.type, c.type);
        EXPECT_EQ(std::pair(out.format.channels, out.format.sampleRate), std::pair(2, 44100u));
        ASSERT_EQ(out.format.lengthFrames, 1001u);
        EXPECT_NEAR(MaxDifference(DecodeAll(*out.decoder), Sine(440, 44100, 2, 1001)), 0.0, 1.0 / 32767);
    }
}
