// Behaviour of the library through its 24 C entry points, as the player uses
// them. Runs natively (linked, null output) and under Wine against fmodex.dll.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "audio_builders.h"
#include "fmodex_api_table.h"
#include "wait_until.h"

using namespace enginetest;

namespace {

constexpr FMOD_MODE kPlayMode = 0xC9;
constexpr uint32_t kRate = 44100;

// A stereo 16-bit 440 Hz tone of the given length.
std::string ToneFile(const std::string& name, uint32_t ms) {
    WavLayout s;
    s.data = EncodePcmLe(Sine(440, kRate, 2, static_cast<uint32_t>(uint64_t(kRate) * ms / 1000)), 2);
    return WriteTempFile(name, MakeWav(s));
}

// Frequency from the rising zero crossings of a stretch of samples.
double ZeroCrossingFrequency(const std::vector<float>& samples, uint32_t rate) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            double at = (i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    if (crossings < 2) return 0;
    return (crossings - 1) * rate / (last - first);
}

class Playback : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ApiComplete());
        ASSERT_EQ(api.FMOD_System_Create(&system), FMOD_OK);
        ASSERT_EQ(api.FMOD_System_Init(system, 2, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
        ASSERT_EQ(api.FMOD_System_SetStreamBufferSize(system, 2000, FMOD_TIMEUNIT_MS), FMOD_OK);
    }
    void TearDown() override {
        if (system) {
            EXPECT_EQ(api.FMOD_System_Release(system), FMOD_OK);
        }
    }

    // Opens and starts paused, as the player's load does.
    void Load(const std::string& path) {
        ASSERT_EQ(api.FMOD_System_CreateStream(system, path.c_str(), kPlayMode, nullptr, &sound), FMOD_OK);
        ASSERT_EQ(api.FMOD_System_PlaySound(system, 0, sound, 1, &channel), FMOD_OK);
    }
    unsigned int Position(FMOD_TIMEUNIT unit = FMOD_TIMEUNIT_MS) {
        unsigned int p = 0;
        EXPECT_EQ(api.FMOD_Channel_GetPosition(channel, &p, unit), FMOD_OK);
        return p;
    }
    int Playing() {
        FMOD_BOOL playing = -1;
        api.FMOD_Channel_IsPlaying(channel, &playing);
        return playing;
    }

    const FmodexApi& api = Api();
    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* sound = nullptr;
    FMOD_CHANNEL* channel = nullptr;
};

}  // namespace

TEST_F(Playback, OpenedWavReportsLengthAndFormat) {
    Load(ToneFile("format.wav", 2000));
    unsigned int ms = 0, raw = 0, pcm = 0;
    EXPECT_EQ(api.FMOD_Sound_GetLength(sound, &ms, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(api.FMOD_Sound_GetLength(sound, &raw, FMOD_TIMEUNIT_RAWBYTES), FMOD_OK);
    EXPECT_EQ(api.FMOD_Sound_GetLength(sound, &pcm, FMOD_TIMEUNIT_PCM), FMOD_OK);
    EXPECT_EQ(ms, 2000u);
    EXPECT_EQ(raw, 88200u * 4);
    EXPECT_EQ(pcm, 88200u);
    FMOD_SOUND_TYPE type;
    FMOD_SOUND_FORMAT format;
    int channels = 0, bits = 0;
    EXPECT_EQ(api.FMOD_Sound_GetFormat(sound, &type, &format, &channels, &bits), FMOD_OK);
    EXPECT_EQ(type, FMOD_SOUND_TYPE_WAV);
    EXPECT_EQ(format, FMOD_SOUND_FORMAT_PCM16);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(bits, 16);
}

TEST_F(Playback, StartsPausedAtZeroAndAdvancesOnlyWhileUnpaused) {
    Load(ToneFile("pause.wav", 3000));
    FMOD_BOOL paused = 0;
    EXPECT_EQ(api.FMOD_Channel_GetPaused(channel, &paused), FMOD_OK);
    EXPECT_EQ(paused, 1);
    EXPECT_EQ(Playing(), 1);  // loaded counts as playing, paused or not
    EXPECT_EQ(Position(), 0u);

    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 300; }));
    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 1), FMOD_OK);
    // Whatever was queued in the device plays out; after that the position holds.
    unsigned int held = Position();
    auto since = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] {
        unsigned int now = Position();
        if (now != held) {
            held = now;
            since = std::chrono::steady_clock::now();
        }
        return std::chrono::steady_clock::now() - since >= std::chrono::milliseconds(150);
    }));
    EXPECT_FALSE(WaitUntil([&] { return Position() != held; }, std::chrono::milliseconds(300)));
    EXPECT_EQ(Playing(), 1);
    EXPECT_LT(held, 3000u);
}

TEST_F(Playback, SeekIsSampleAccurateInEveryState) {
    Load(ToneFile("seek.wav", 3000));
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 1500, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(Position(), 1500u);
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 12345, FMOD_TIMEUNIT_PCM), FMOD_OK);
    EXPECT_EQ(Position(FMOD_TIMEUNIT_PCM), 12345u);
    EXPECT_EQ(Position(FMOD_TIMEUNIT_MS), 279u);  // 12345 / 44.1, truncated

    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 400; }));
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 2000, FMOD_TIMEUNIT_MS), FMOD_OK);
    unsigned int after = Position();
    EXPECT_GE(after, 2000u);
    EXPECT_LT(after, 2300u);  // playing on from the new place, not from the old one
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 2100; }));

    // The player's stop: pause, then back to the start.
    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 1), FMOD_OK);
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 0, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(Position(), 0u);
    EXPECT_EQ(Playing(), 1);
}

TEST_F(Playback, WaveDataIsTheAudibleSineAndFailsBeforePlayback) {
    Load(ToneFile("wave.wav", 3000));
    std::vector<float> wave(4096, 42.0f);
    EXPECT_NE(api.FMOD_Channel_GetWaveData(channel, wave.data(), 4096, 0), FMOD_OK);
    EXPECT_EQ(wave[0], 42.0f);  // left as it was
    EXPECT_EQ(wave[4095], 42.0f);

    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 500; }));
    ASSERT_EQ(api.FMOD_Channel_GetWaveData(channel, wave.data(), 4096, 0), FMOD_OK);
    float peak = 0;
    for (float v : wave) {
        EXPECT_GE(v, -1.0f);
        EXPECT_LE(v, 1.0f);
        peak = std::max(peak, std::fabs(v));
    }
    EXPECT_NEAR(peak, 0.5f, 0.02f);
    EXPECT_NEAR(ZeroCrossingFrequency(wave, kRate), 440.0, 2.0);
    std::vector<float> right(16384);
    EXPECT_EQ(api.FMOD_Channel_GetWaveData(channel, right.data(), 16384, 1), FMOD_OK);
    EXPECT_NEAR(ZeroCrossingFrequency(right, kRate), 440.0, 1.0);
    EXPECT_NE(api.FMOD_Channel_GetWaveData(channel, right.data(), 16, 2), FMOD_OK);  // no third channel

    // Volume shows in the wave data; values above 1.0 are applied and clipped.
    ASSERT_EQ(api.FMOD_Channel_SetVolume(channel, 4.0f), FMOD_OK);
    float volume = 0;
    EXPECT_EQ(api.FMOD_Channel_GetVolume(channel, &volume), FMOD_OK);
    EXPECT_EQ(volume, 4.0f);
    const unsigned int louderFrom = Position() + 200;
    ASSERT_TRUE(WaitUntil([&] { return Position() >= louderFrom; }));
    ASSERT_EQ(api.FMOD_Channel_GetWaveData(channel, wave.data(), 1024, 0), FMOD_OK);
    EXPECT_EQ(*std::max_element(wave.begin(), wave.end()), 1.0f);
}

TEST_F(Playback, EndOfTrackStopsPlayingButKeepsThePosition) {
    Load(ToneFile("end.wav", 2000));
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 1600, FMOD_TIMEUNIT_MS), FMOD_OK);
    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }));
    EXPECT_EQ(Position(), 2000u);
    EXPECT_EQ(Position(FMOD_TIMEUNIT_PCM), 88200u);
    // Seeking back brings an ended channel to life again.
    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 1900, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(Playing(), 1);
    ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }));
}

TEST_F(Playback, ReleasingTheSoundStopsItAndStalesItsHandles) {
    Load(ToneFile("release.wav", 3000));
    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 100; }));
    ASSERT_EQ(api.FMOD_Sound_Release(sound), FMOD_OK);
    FMOD_BOOL playing = 7;
    EXPECT_EQ(api.FMOD_Channel_IsPlaying(channel, &playing), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(playing, 0);
    unsigned int p = 9;
    EXPECT_EQ(api.FMOD_Channel_GetPosition(channel, &p, FMOD_TIMEUNIT_MS), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(p, 0u);
    EXPECT_EQ(api.FMOD_Sound_Release(sound), FMOD_ERR_INVALID_HANDLE);
    unsigned int length = 0;
    EXPECT_EQ(api.FMOD_Sound_GetLength(sound, &length, FMOD_TIMEUNIT_MS), FMOD_ERR_INVALID_HANDLE);

    // The next track gets channel 0 again; the old channel handle stays stale.
    FMOD_CHANNEL* old = channel;
    Load(ToneFile("next.wav", 1000));
    EXPECT_EQ(api.FMOD_Channel_SetPaused(old, 0), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(Playing(), 1);
}

TEST_F(Playback, InvalidHandlesAndNullPointersGiveErrors) {
    FMOD_CHANNEL* none = reinterpret_cast<FMOD_CHANNEL*>(0x12345);
    EXPECT_NE(api.FMOD_System_PlaySound(system, 0, nullptr, 1, &none), FMOD_OK);
    EXPECT_EQ(none, nullptr);
    FMOD_BOOL flag = 5;
    EXPECT_EQ(api.FMOD_Channel_IsPlaying(nullptr, &flag), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(flag, 0);
    EXPECT_NE(api.FMOD_Channel_GetPaused(reinterpret_cast<FMOD_CHANNEL*>(system), &flag), FMOD_OK);
    EXPECT_NE(api.FMOD_Channel_SetPaused(reinterpret_cast<FMOD_CHANNEL*>(&flag), 0), FMOD_OK);
    EXPECT_NE(api.FMOD_Sound_GetNumTags(reinterpret_cast<FMOD_SOUND*>(&flag), nullptr, nullptr), FMOD_OK);
    EXPECT_NE(api.FMOD_System_Init(nullptr, 2, 0, nullptr), FMOD_OK);
    EXPECT_EQ(api.FMOD_System_Init(system, 2, 0, nullptr), FMOD_ERR_INITIALIZED);
    EXPECT_NE(api.FMOD_System_Create(nullptr), FMOD_OK);
    EXPECT_NE(api.FMOD_System_CreateStream(system, "x.wav", kPlayMode, nullptr, nullptr), FMOD_OK);
    EXPECT_NE(api.FMOD_System_CreateStream(system, nullptr, kPlayMode, nullptr, &sound), FMOD_OK);

    Load(ToneFile("nulls.wav", 500));
    EXPECT_NE(api.FMOD_Channel_GetPosition(channel, nullptr, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_NE(api.FMOD_Channel_IsPlaying(channel, nullptr), FMOD_OK);
    EXPECT_NE(api.FMOD_Channel_GetWaveData(channel, nullptr, 16, 0), FMOD_OK);
    EXPECT_NE(api.FMOD_Sound_GetLength(sound, nullptr, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_NE(api.FMOD_Sound_GetTag(sound, nullptr, 0, nullptr), FMOD_OK);
    EXPECT_EQ(api.FMOD_Sound_GetFormat(sound, nullptr, nullptr, nullptr, nullptr), FMOD_OK);
    EXPECT_NE(api.FMOD_Channel_SetVolume(channel, std::nanf("")), FMOD_OK);
    unsigned int value = 0;
    EXPECT_EQ(api.FMOD_Channel_GetPosition(channel, &value, 0x40), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(api.FMOD_Channel_SetPosition(channel, 0, 0), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(api.FMOD_Sound_GetLength(sound, &value, 3), FMOD_ERR_INVALID_PARAM);
}

TEST_F(Playback, BadPathsFailAndLeaveTheSoundNull) {
    const std::string text = "Just some words, not sound.";
    const std::string paths[] = {
        "",
        TempFolder() + "/missing.wav",
        TempFolder(),
        WriteTempFile("empty.wav", {}),
        WriteTempFile("words.wav", Bytes(text.begin(), text.end())),
        WriteTempFile("cut.wav", Bytes{'R', 'I', 'F', 'F', 0, 0}),
    };
    for (const std::string& path : paths) {
        sound = reinterpret_cast<FMOD_SOUND*>(0x1);
        EXPECT_NE(api.FMOD_System_CreateStream(system, path.c_str(), kPlayMode, nullptr, &sound), FMOD_OK) << path;
        EXPECT_EQ(sound, nullptr) << path;
        EXPECT_NE(api.FMOD_System_PlaySound(system, 0, sound, 1, &channel), FMOD_OK);
    }
}

TEST_F(Playback, OpenOnlyGivesPlaylistEntriesAndLengthsWithoutPlaying) {
    ASSERT_EQ(api.FMOD_System_SetStreamBufferSize(system, 1, FMOD_TIMEUNIT_RAWBYTES), FMOD_OK);
    const std::string pls = "[playlist]\r\nFile1=a.mp3\r\nFile2=http://x/\r\nNumberOfEntries=2\r\nVersion=2\r\n";
    const std::string list = WriteTempFile("Quendralistformated.tmp", Bytes(pls.begin(), pls.end()));
    ASSERT_EQ(api.FMOD_System_CreateStream(system, list.c_str(), FMOD_OPENONLY, nullptr, &sound), FMOD_OK);
    int count = 0;
    ASSERT_EQ(api.FMOD_Sound_GetNumTags(sound, &count, nullptr), FMOD_OK);
    ASSERT_EQ(count, 2);
    FMOD_TAG tag;
    ASSERT_EQ(api.FMOD_Sound_GetTag(sound, nullptr, 1, &tag), FMOD_OK);
    EXPECT_EQ(tag.type, FMOD_TAGTYPE_PLAYLIST);
    EXPECT_STREQ(tag.name, "FILE");
    EXPECT_EQ(std::string(static_cast<const char*>(tag.data)), "http://x/");
    EXPECT_EQ(api.FMOD_Sound_GetTag(sound, nullptr, 2, &tag), FMOD_ERR_TAGNOTFOUND);
    EXPECT_NE(api.FMOD_System_PlaySound(system, 0, sound, 1, &channel), FMOD_OK);  // nothing to play
    EXPECT_EQ(api.FMOD_Sound_Release(sound), FMOD_OK);

    WavLayout tagged;
    tagged.data = EncodePcmLe(Sine(440, kRate, 2, 4410), 2);
    tagged.info = {{"IART", "Art"}, {"INAM", "Tit"}};
    const std::string wav = WriteTempFile("tagged.wav", MakeWav(tagged));
    ASSERT_EQ(api.FMOD_System_CreateStream(system, wav.c_str(), FMOD_OPENONLY, nullptr, &sound), FMOD_OK);
    unsigned int ms = 0;
    EXPECT_EQ(api.FMOD_Sound_GetLength(sound, &ms, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(ms, 100u);
    ASSERT_EQ(api.FMOD_Sound_GetTag(sound, "TITLE", 0, &tag), FMOD_OK);
    EXPECT_EQ(std::string(static_cast<const char*>(tag.data), tag.datalen - 1), "Tit");
    EXPECT_EQ(api.FMOD_Sound_Release(sound), FMOD_OK);
}

TEST_F(Playback, EntryPointsThePlayerNeverCallsStillWork) {
    unsigned int size = 0;
    FMOD_TIMEUNIT unit = 0;
    EXPECT_EQ(api.FMOD_System_GetStreamBufferSize(system, &size, &unit), FMOD_OK);
    EXPECT_EQ(size, 2000u);
    EXPECT_EQ(unit, static_cast<FMOD_TIMEUNIT>(FMOD_TIMEUNIT_MS));
    EXPECT_NE(api.FMOD_System_SetStreamBufferSize(system, 0, FMOD_TIMEUNIT_MS), FMOD_OK);

    Load(ToneFile("unused.wav", 1000));
    int priority = 0;
    EXPECT_EQ(api.FMOD_Channel_SetPriority(channel, 256), FMOD_OK);
    EXPECT_EQ(api.FMOD_Channel_GetPriority(channel, &priority), FMOD_OK);
    EXPECT_EQ(priority, 256);
    EXPECT_EQ(api.FMOD_Channel_SetLoopCount(channel, 0), FMOD_OK);
    float volume = 0;
    EXPECT_EQ(api.FMOD_Channel_GetVolume(channel, &volume), FMOD_OK);
    EXPECT_EQ(volume, 1.0f);
    EXPECT_EQ(api.FMOD_Channel_Stop(channel), FMOD_OK);
    EXPECT_EQ(Playing(), 0);
    EXPECT_EQ(api.FMOD_Channel_Stop(channel), FMOD_ERR_INVALID_HANDLE);
    // The sound itself survives its channel and plays again from the start.
    ASSERT_EQ(api.FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sound, 1, &channel), FMOD_OK);
    EXPECT_EQ(Position(), 0u);
}
