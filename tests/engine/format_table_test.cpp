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
