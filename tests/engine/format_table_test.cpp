// One case per format through the C interface, as the player's tag scan (open-only) and track
// load use it. Runs natively (linked, null output) and under Wine against fmodex.dll.
#include <tuple>

#include "api_session.h"

using namespace enginetest;

namespace {

struct FormatCase {
    const char* file;
    FMOD_SOUND_TYPE type;
    const char* title;
    FMOD_TAGTYPE titleType;
    const char* comment = "<none>";
};

const FormatCase kFormats[] = {
    {"tone440.wav", FMOD_SOUND_TYPE_WAV, "<none>", FMOD_TAGTYPE_UNKNOWN},
    {"tone440_adpcm.wav", FMOD_SOUND_TYPE_WAV, "<none>", FMOD_TAGTYPE_UNKNOWN},
    {"tone440.aiff", FMOD_SOUND_TYPE_AIFF, "<none>", FMOD_TAGTYPE_UNKNOWN},
    {"tone440.mp3", FMOD_SOUND_TYPE_MPEG, "Ton MP3", FMOD_TAGTYPE_ID3V2},
    {"tone440.flac", FMOD_SOUND_TYPE_FLAC, "Ton FLAC", FMOD_TAGTYPE_VORBISCOMMENT},
    {"tone440.oga", FMOD_SOUND_TYPE_FLAC, "Ton Ogg FLAC", FMOD_TAGTYPE_VORBISCOMMENT},
    {"tone440.ogg", FMOD_SOUND_TYPE_OGGVORBIS, "Ton Vorbis", FMOD_TAGTYPE_VORBISCOMMENT},
};

class Formats : public ApiSession, public ::testing::WithParamInterface<FormatCase> {};

// Format, length and title; then paused at 0, an exact seek, the 440 Hz tone heard, a seek
// near the end, the end, and a seek that brings the ended channel back.
TEST_P(Formats, OpenOnlyThenPlaySeekAndEnd) {
    const FormatCase& c = GetParam();
    const std::string path = FixturePath(c.file);
    ASSERT_EQ(Open(path, FMOD_OPENONLY), FMOD_OK) << path;
    EXPECT_EQ(SoundFormat(), std::tuple(c.type, FMOD_SOUND_FORMAT_PCM16, 2, 16));
    EXPECT_EQ(std::pair(Length(), Length(FMOD_TIMEUNIT_PCM)), std::pair(10000u, 441000u));
    EXPECT_GT(Length(FMOD_TIMEUNIT_RAWBYTES), 10000u);
    EXPECT_EQ(TypedTag("TITLE"), std::pair(std::string(c.title), c.titleType));
    Release();

    Load(path);
    EXPECT_EQ(std::tuple(Paused(), Playing(), Position()), std::tuple(1, 1, 0u));  // loaded counts as playing, paused or not
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 12345, FMOD_TIMEUNIT_PCM), FMOD_OK);
    EXPECT_EQ(std::pair(Position(FMOD_TIMEUNIT_PCM), Position()), std::pair(12345u, 279u));  // 12345 / 44.1, truncated
    PlayFrom(279, 400);
    const std::vector<float> wave = Wave(8192);
    EXPECT_NEAR(Peak(wave), 0.5f, 0.03f);
    EXPECT_NEAR(ZeroCrossingFrequency(wave, 44100), 440.0, 2.0);
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 9000, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_TRUE(Position() >= 9000u && Position() < 9300u) << Position();
    EXPECT_EQ(EndFrom(9000), 441000u);
    // Seeking back brings an ended channel to life again; the player's stop is pause and 0.
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 9900, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(Playing(), 1);
    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 1), FMOD_OK);
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 0, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(std::pair(Paused(), Position()), std::pair(1, 0u));
}

INSTANTIATE_TEST_SUITE_P(Table, Formats, ::testing::ValuesIn(kFormats), [](const auto& i) { return FileCaseName(i.param.file); });

// Rendered at the player's loudness, 10 s each: modules of 100 rows of a 440 Hz tone, and a MIDI
// file of an A on an ocarina (nearly a sine in any bank, or in the built-in instruments).
const FormatCase kRendered[] = {
    {"tone440.mod", FMOD_SOUND_TYPE_MOD, "Ton MOD", FMOD_TAGTYPE_FMOD, "sine"},
    {"tone440.s3m", FMOD_SOUND_TYPE_S3M, "Ton S3M", FMOD_TAGTYPE_FMOD, "sine"},
    {"tone440.xm", FMOD_SOUND_TYPE_XM, "Ton XM", FMOD_TAGTYPE_FMOD, "sine"},
    {"tone440.it", FMOD_SOUND_TYPE_IT, "Ton IT", FMOD_TAGTYPE_FMOD, "sine"},
    {"lied.mid", FMOD_SOUND_TYPE_MIDI, "Lied", FMOD_TAGTYPE_MIDI, "(c)Q"},
};

std::string MidiFile() {
    return WriteTempFile("lied.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, 32,
                                      0x00, 0xFF, 0x03, 0x04, 'L', 'i', 'e', 'd', 0x00, 0xFF, 0x02, 0x04, '(', 'c', ')', 'Q',
                                      0x00, 0xC0, 0x4F, 0x00, 0x90, 0x45, 0x64, 0xC3, 0x40, 0x80, 0x45, 0x00, 0x00, 0xFF, 0x2F, 0x00});
}

class Rendered : public ApiSession, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(Rendered, OpenOnlyThenPlayAndSeek) {
    const FormatCase& c = GetParam();
    const bool midi = c.type == FMOD_SOUND_TYPE_MIDI;
    const std::string path = midi ? MidiFile() : FixturePath(c.file);
    ASSERT_EQ(Open(path, FMOD_OPENONLY), FMOD_OK) << path;
    EXPECT_EQ(SoundFormat(), midi ? std::tuple(c.type, FMOD_SOUND_FORMAT_PCMFLOAT, 2, 32)
                                  : std::tuple(c.type, FMOD_SOUND_FORMAT_PCM16, 2, 16));
    // MIDI: the last event at 9 s and a second for the notes to fade.
    EXPECT_EQ(std::pair(Length(), Length(FMOD_TIMEUNIT_PCM)), std::pair(10000u, 441000u));
    EXPECT_EQ(TypedTag("TITLE"), std::pair(std::string(c.title), c.titleType));
    EXPECT_EQ(Tag("COMMENT"), c.comment);
    Release();

    Load(path);
    PlayFrom(midi ? 0 : 5000, midi ? 600 : 5400);  // MIDI from 0: a seek starts held notes silent
    const std::vector<float> wave = Wave(8192);
    EXPECT_GT(Peak(wave), 0.02f);
    EXPECT_NEAR(ZeroCrossingFrequency(wave, 44100), 440.0, 3.0);
    EXPECT_EQ(EndFrom(9800), 441000u);
}

INSTANTIATE_TEST_SUITE_P(Table, Rendered, ::testing::ValuesIn(kRendered), [](const auto& i) { return FileCaseName(i.param.file); });

}  // namespace

// Headerless audio is taken by its ".raw" name alone; the same bytes under another name stay refused.
TEST_F(ApiSession, RawFilePlaysByItsName) {
    const Bytes pcm = EncodePcmLe(Sine(440, 44100, 2, 44100), 2);
    ASSERT_EQ(Open(WriteTempFile("ton.Raw", pcm), FMOD_OPENONLY), FMOD_OK);
    EXPECT_EQ(std::tuple(std::get<0>(SoundFormat()), Length(), Length(FMOD_TIMEUNIT_PCM)), std::tuple(FMOD_SOUND_TYPE_RAW, 1000u, 44100u));
    Release();
    EXPECT_EQ(Open(WriteTempFile("ton.dat", pcm), FMOD_OPENONLY), FMOD_ERR_FORMAT);
}

// A DLS bank on its own plays its waves (here 0.5 s of 440 Hz at 22050 Hz), each with a pause after.
TEST_F(ApiSession, DlsBankPlaysItsWave) {
    Bytes fmt, wave = {'w', 'a', 'v', 'e'}, pool = {'w', 'v', 'p', 'l'}, body = {'D', 'L', 'S', ' '}, file;
    for (uint32_t v : {0x00010001u, 22050u, 44100u, 0x00100002u}) PutLe32(fmt, v);
    PutChunk(wave, "fmt ", fmt);
    PutChunk(wave, "data", EncodePcmLe(Sine(440, 22050, 1, 11025), 2));
    PutChunk(pool, "LIST", wave);
    PutChunk(body, "LIST", pool);
    PutChunk(file, "RIFF", body);
    Load(WriteTempFile("bank.dls", file));
    EXPECT_EQ(std::pair(std::get<0>(SoundFormat()), Length()), std::pair(FMOD_SOUND_TYPE_DLS, 700u));
    PlayFrom(0, 250);
    const std::vector<float> tone = Wave(4096);
    EXPECT_NEAR(Peak(tone), 0.5f, 0.03f);
    EXPECT_NEAR(ZeroCrossingFrequency(tone, 44100), 440.0, 3.0);
}
