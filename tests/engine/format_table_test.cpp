// One case per format through the C interface, as the player's tag scan (open-only) and
// track load use it: format, length and title; then paused at 0, an exact seek, the 440 Hz
// tone heard, a seek near the end, the end, and a seek that brings the ended channel back.
// Runs natively (linked, null output) and under Wine against fmodex.dll.
#include <algorithm>
#include <tuple>

#include "api_session.h"

using namespace enginetest;

namespace {

struct FormatCase {
    const char* file;
    FMOD_SOUND_TYPE type;
    FMOD_SOUND_FORMAT format;
    const char* title;
    FMOD_TAGTYPE titleType;
};

const FormatCase kFormats[] = {
    {"tone440.wav", FMOD_SOUND_TYPE_WAV, FMOD_SOUND_FORMAT_PCM16, "<none>", FMOD_TAGTYPE_UNKNOWN},
    {"tone440_adpcm.wav", FMOD_SOUND_TYPE_WAV, FMOD_SOUND_FORMAT_PCM16, "<none>", FMOD_TAGTYPE_UNKNOWN},
    {"tone440.aiff", FMOD_SOUND_TYPE_AIFF, FMOD_SOUND_FORMAT_PCM16, "<none>", FMOD_TAGTYPE_UNKNOWN},
    {"tone440.mp3", FMOD_SOUND_TYPE_MPEG, FMOD_SOUND_FORMAT_PCM16, "Ton MP3", FMOD_TAGTYPE_ID3V2},
    {"tone440.flac", FMOD_SOUND_TYPE_FLAC, FMOD_SOUND_FORMAT_PCM16, "Ton FLAC", FMOD_TAGTYPE_VORBISCOMMENT},
    {"tone440.oga", FMOD_SOUND_TYPE_FLAC, FMOD_SOUND_FORMAT_PCM16, "Ton Ogg FLAC", FMOD_TAGTYPE_VORBISCOMMENT},
    {"tone440.ogg", FMOD_SOUND_TYPE_OGGVORBIS, FMOD_SOUND_FORMAT_PCM16, "Ton Vorbis", FMOD_TAGTYPE_VORBISCOMMENT},
};

class Formats : public ApiSession, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(Formats, OpenOnlyThenPlaySeekAndEnd) {
    const FormatCase& c = GetParam();
    const std::string path = FixturePath(c.file);
    ASSERT_EQ(Open(path, FMOD_OPENONLY), FMOD_OK) << path;
    FMOD_SOUND_TYPE type;
    FMOD_SOUND_FORMAT format;
    int channels = 0, bits = 0;
    ASSERT_EQ(api.FMOD_Sound_GetFormat(sound, &type, &format, &channels, &bits), FMOD_OK);
    EXPECT_EQ(std::tuple(type, format, channels, bits), std::tuple(c.type, c.format, 2, 16));
    EXPECT_EQ(std::pair(Length(), Length(FMOD_TIMEUNIT_PCM)), std::pair(10000u, 441000u));
    EXPECT_GT(Length(FMOD_TIMEUNIT_RAWBYTES), 10000u);
    FMOD_TAGTYPE titleType = FMOD_TAGTYPE_UNKNOWN;
    const std::string title = Tag("TITLE", &titleType);
    EXPECT_EQ(std::pair(title, titleType), std::pair(std::string(c.title), c.titleType));
    Release();

    Load(path);
    EXPECT_EQ(std::tuple(Paused(), Playing(), Position()), std::tuple(1, 1, 0u));  // loaded counts as playing, paused or not
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 12345, FMOD_TIMEUNIT_PCM), FMOD_OK);
    EXPECT_EQ(std::pair(Position(FMOD_TIMEUNIT_PCM), Position()), std::pair(12345u, 279u));  // 12345 / 44.1, truncated
    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 400; }));
    const std::vector<float> wave = Wave(8192);
    EXPECT_NEAR(Peak(wave), 0.5f, 0.03f);
    EXPECT_NEAR(ZeroCrossingFrequency(wave, 44100), 440.0, 2.0);
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 9000, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_TRUE(Position() >= 9000u && Position() < 9300u) << Position();
    ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }));
    EXPECT_EQ(Position(FMOD_TIMEUNIT_PCM), 441000u);
    // Seeking back brings an ended channel to life again; the player's stop is pause and 0.
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 9900, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(Playing(), 1);
    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 1), FMOD_OK);
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 0, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(std::pair(Paused(), Position()), std::pair(1, 0u));
}

INSTANTIATE_TEST_SUITE_P(Table, Formats, ::testing::ValuesIn(kFormats), [](const auto& info) {
    std::string name = info.param.file;
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
});

// Tracker modules: a 440 Hz tone of exactly 10 s (100 rows of 0.1 s) in each format, found by
// content, played by the module player; its loudness is the player's, so only the pitch is heard.
struct ModuleCase {
    const char* file;
    FMOD_SOUND_TYPE type;
    const char* title;
};

const ModuleCase kModules[] = {
    {"tone440.mod", FMOD_SOUND_TYPE_MOD, "Ton MOD"},
    {"tone440.s3m", FMOD_SOUND_TYPE_S3M, "Ton S3M"},
    {"tone440.xm", FMOD_SOUND_TYPE_XM, "Ton XM"},
    {"tone440.it", FMOD_SOUND_TYPE_IT, "Ton IT"},
};

class Modules : public ApiSession, public ::testing::WithParamInterface<ModuleCase> {};

TEST_P(Modules, OpenOnlyThenPlayAndSeek) {
    const ModuleCase& c = GetParam();
    const std::string path = FixturePath(c.file);
    ASSERT_EQ(Open(path, FMOD_OPENONLY), FMOD_OK) << path;
    FMOD_SOUND_TYPE type;
    FMOD_SOUND_FORMAT format;
    int channels = 0, bits = 0;
    ASSERT_EQ(api.FMOD_Sound_GetFormat(sound, &type, &format, &channels, &bits), FMOD_OK);
    EXPECT_EQ(std::tuple(type, format, channels, bits), std::tuple(c.type, FMOD_SOUND_FORMAT_PCM16, 2, 16));
    EXPECT_EQ(std::pair(Length(), Length(FMOD_TIMEUNIT_PCM)), std::pair(10000u, 441000u));
    EXPECT_EQ(Tag("TITLE"), c.title);
    EXPECT_EQ(Tag("COMMENT"), "sine");
    Release();

    Load(path);
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 5000, FMOD_TIMEUNIT_MS), FMOD_OK);
    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 5400; }));
    const std::vector<float> wave = Wave(8192);
    EXPECT_GT(Peak(wave), 0.05f);
    EXPECT_NEAR(ZeroCrossingFrequency(wave, 44100), 440.0, 3.0);
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 9800, FMOD_TIMEUNIT_MS), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }));
    EXPECT_EQ(Position(FMOD_TIMEUNIT_PCM), 441000u);
}

INSTANTIATE_TEST_SUITE_P(Table, Modules, ::testing::ValuesIn(kModules), [](const auto& info) {
    std::string name = info.param.file;
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
});

}  // namespace

// Headerless audio is taken by its ".raw" name alone; the same bytes under another name stay refused.
TEST_F(ApiSession, RawFilePlaysByItsName) {
    const Bytes pcm = EncodePcmLe(Sine(440, 44100, 2, 44100), 2);
    ASSERT_EQ(Open(WriteTempFile("ton.Raw", pcm), FMOD_OPENONLY), FMOD_OK);
    FMOD_SOUND_TYPE type;
    ASSERT_EQ(api.FMOD_Sound_GetFormat(sound, &type, nullptr, nullptr, nullptr), FMOD_OK);
    EXPECT_EQ(std::tuple(type, Length(), Length(FMOD_TIMEUNIT_PCM)), std::tuple(FMOD_SOUND_TYPE_RAW, 1000u, 44100u));
    Release();
    EXPECT_EQ(Open(WriteTempFile("ton.dat", pcm), FMOD_OPENONLY), FMOD_ERR_FORMAT);
}
namespace {

// A MIDI file written here: an A held for 9 s on an ocarina (nearly a sine in any bank), with
// a name and a copyright. Any bank the library finds (or none: the built-in instruments) plays
// it at 440 Hz; under Wine it runs with no bank and again with a SoundFont beside the library.
class MidiFile : public ApiSession {};

TEST_F(MidiFile, PlaysItsNoteWithTheBankFoundOrTheBuiltInInstruments) {
    Bytes track = {0x00, 0xFF, 0x03, 0x04, 'L', 'i', 'e', 'd', 0x00, 0xFF, 0x02, 0x04, '(', 'c', ')', 'Q',
                   0x00, 0xC0, 0x4F, 0x00, 0x90, 0x45, 0x64, 0xC3, 0x40, 0x80, 0x45, 0x00, 0x00, 0xFF, 0x2F, 0x00};
    Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0};
    PutChunk(file, "MTrk", track, true);
    const std::string path = WriteTempFile("lied.mid", file);
    ASSERT_EQ(Open(path, FMOD_OPENONLY), FMOD_OK);
    FMOD_SOUND_TYPE type;
    FMOD_SOUND_FORMAT format;
    int channels = 0, bits = 0;
    ASSERT_EQ(api.FMOD_Sound_GetFormat(sound, &type, &format, &channels, &bits), FMOD_OK);
    EXPECT_EQ(std::tuple(type, format, channels, bits), std::tuple(FMOD_SOUND_TYPE_MIDI, FMOD_SOUND_FORMAT_PCMFLOAT, 2, 32));
    EXPECT_EQ(Length(), 10000u);  // the last event at 9 s and a second for the notes to fade
    FMOD_TAGTYPE titleType = FMOD_TAGTYPE_UNKNOWN;
    EXPECT_EQ(Tag("TITLE", &titleType), "Lied");
    EXPECT_EQ(titleType, FMOD_TAGTYPE_MIDI);
    EXPECT_EQ(Tag("COMMENT"), "(c)Q");
    Release();

    Load(path);
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 2000, FMOD_TIMEUNIT_MS), FMOD_OK);
    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 2400; }));
    // Seeking starts held notes silent: the A is heard only from the start.
    EXPECT_LT(Peak(Wave(8192)), 0.01f);
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 0, FMOD_TIMEUNIT_MS), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 600; }));
    const std::vector<float> wave = Wave(8192);
    EXPECT_GT(Peak(wave), 0.02f);
    EXPECT_NEAR(ZeroCrossingFrequency(wave, 44100), 440.0, 3.0);
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 9900, FMOD_TIMEUNIT_MS), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }));
    EXPECT_EQ(Position(FMOD_TIMEUNIT_PCM), 441000u);
}

}  // namespace

namespace {

// A DLS bank opened on its own plays its waves: here one, half a second of 440 Hz at 22050 Hz,
// then the pause after each wave.
class DlsFile : public ApiSession {};

TEST_F(DlsFile, PlaysItsWave) {
    Bytes fmt, pcm, wave = {'w', 'a', 'v', 'e'}, pool = {'w', 'v', 'p', 'l'}, body = {'D', 'L', 'S', ' '};
    for (uint32_t v : {0x00010001u, 22050u, 44100u, 0x00100002u}) PutLe32(fmt, v);
    pcm = EncodePcmLe(Sine(440, 22050, 1, 11025), 2);
    PutChunk(wave, "fmt ", fmt);
    PutChunk(wave, "data", pcm);
    PutChunk(pool, "LIST", wave);
    PutChunk(body, "LIST", pool);
    Bytes file;
    PutChunk(file, "RIFF", body);
    Load(WriteTempFile("bank.dls", file));
    FMOD_SOUND_TYPE type;
    ASSERT_EQ(api.FMOD_Sound_GetFormat(sound, &type, nullptr, nullptr, nullptr), FMOD_OK);
    EXPECT_EQ(type, FMOD_SOUND_TYPE_DLS);
    EXPECT_EQ(Length(), 700u);
    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 250; }));
    const std::vector<float> tone = Wave(4096);
    EXPECT_NEAR(Peak(tone), 0.5f, 0.03f);
    EXPECT_NEAR(ZeroCrossingFrequency(tone, 44100), 440.0, 3.0);
}

}  // namespace
