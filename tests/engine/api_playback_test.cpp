// The library through its 24 C entry points as the player uses them. Runs natively
// (linked, null output) and under Wine against fmodex.dll.
#include "api_session.h"
#include "audio_builders.h"

using namespace enginetest;

using Playback = ApiSession;

// (Paused at 0, exact seeks, the end and seeking back after it: format_table_test, for every
// format. That a paused position holds once the device has played what it was given: mixer_test.)
TEST_F(Playback, ReleasedSoundsAndStoppedChannelsLeaveStaleHandles) {
    Load(ToneWav("release.wav", 3000));
    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 100; }));
    FMOD_SOUND* old = sound;
    Release();
    FMOD_BOOL playing = 7;
    EXPECT_EQ(api.FMOD_Channel_IsPlaying(channel, &playing), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(playing, 0);
    unsigned int p = 9;
    EXPECT_EQ(api.FMOD_Channel_GetPosition(channel, &p, FMOD_TIMEUNIT_MS), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(p, 0u);
    EXPECT_EQ(api.FMOD_Sound_Release(old), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(api.FMOD_Sound_GetLength(old, &p, FMOD_TIMEUNIT_MS), FMOD_ERR_INVALID_HANDLE);

    FMOD_CHANNEL* stale = channel;
    Load(ToneWav("next.wav", 1000));
    EXPECT_EQ(api.FMOD_Channel_SetPaused(stale, 0), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(Playing(), 1);
    // Entry points the player never calls still work.
    int priority = 0;
    EXPECT_EQ(api.FMOD_Channel_SetPriority(channel, 256), FMOD_OK);
    EXPECT_EQ(api.FMOD_Channel_GetPriority(channel, &priority), FMOD_OK);
    EXPECT_EQ(priority, 256);
    EXPECT_EQ(api.FMOD_Channel_SetLoopCount(channel, 0), FMOD_OK);
    unsigned int size = 0;
    FMOD_TIMEUNIT unit = 0;
    EXPECT_EQ(api.FMOD_System_GetStreamBufferSize(system, &size, &unit), FMOD_OK);
    EXPECT_EQ(size, 2000u);
    EXPECT_EQ(unit, static_cast<FMOD_TIMEUNIT>(FMOD_TIMEUNIT_MS));
    EXPECT_NE(api.FMOD_System_SetStreamBufferSize(system, 0, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(api.FMOD_Channel_Stop(channel), FMOD_OK);
    EXPECT_EQ(Playing(), 0);
    EXPECT_EQ(api.FMOD_Channel_Stop(channel), FMOD_ERR_INVALID_HANDLE);
    // The sound survives its channel and plays again from the start.
    ASSERT_EQ(api.FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sound, 1, &channel), FMOD_OK);
    EXPECT_EQ(Position(), 0u);
}

TEST_F(Playback, InvalidHandlesNullPointersAndBadPathsGiveErrors) {
    FMOD_CHANNEL* none = reinterpret_cast<FMOD_CHANNEL*>(0x12345);
    EXPECT_NE(api.FMOD_System_PlaySound(system, 0, nullptr, 1, &none), FMOD_OK);
    EXPECT_EQ(none, nullptr);
    FMOD_BOOL flag = 5;
    EXPECT_EQ(api.FMOD_Channel_IsPlaying(nullptr, &flag), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(flag, 0);
    EXPECT_NE(api.FMOD_Channel_GetPaused(reinterpret_cast<FMOD_CHANNEL*>(system), &flag), FMOD_OK);
    EXPECT_NE(api.FMOD_Sound_GetNumTags(reinterpret_cast<FMOD_SOUND*>(&flag), nullptr, nullptr), FMOD_OK);
    EXPECT_NE(api.FMOD_System_Init(nullptr, 2, 0, nullptr), FMOD_OK);
    EXPECT_EQ(api.FMOD_System_Init(system, 2, 0, nullptr), FMOD_ERR_INITIALIZED);
    EXPECT_NE(api.FMOD_System_Create(nullptr), FMOD_OK);
    EXPECT_NE(api.FMOD_System_CreateStream(system, "x.wav", kPlayMode, nullptr, nullptr), FMOD_OK);
    // (Damaged headers are refused in pcm_reader_test; here the path reaches no file or no sound.)
    for (const std::string& path : {std::string(), TempFolder() + "/missing.wav", TempFolder(),
                                    WriteTempFile("words.wav", Bytes{'R', 'I', 'F', 'F', 0, 0})}) {
        sound = reinterpret_cast<FMOD_SOUND*>(0x1);
        EXPECT_NE(Open(path), FMOD_OK) << path;
        EXPECT_EQ(sound, nullptr) << path;
    }
    EXPECT_NE(api.FMOD_System_CreateStream(system, nullptr, kPlayMode, nullptr, &sound), FMOD_OK);

    Load(ToneWav("nulls.wav", 500));
    unsigned int value = 0;
    EXPECT_NE(api.FMOD_Channel_GetPosition(channel, nullptr, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_NE(api.FMOD_Channel_IsPlaying(channel, nullptr), FMOD_OK);
    EXPECT_NE(api.FMOD_Channel_GetWaveData(channel, nullptr, 16, 0), FMOD_OK);
    EXPECT_NE(api.FMOD_Sound_GetLength(sound, nullptr, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_NE(api.FMOD_Sound_GetTag(sound, nullptr, 0, nullptr), FMOD_OK);
    EXPECT_EQ(api.FMOD_Sound_GetFormat(sound, nullptr, nullptr, nullptr, nullptr), FMOD_OK);
    EXPECT_NE(api.FMOD_Channel_SetVolume(channel, std::nanf("")), FMOD_OK);
    float volume = 0.5f;
    for (const auto& [set, kept] : {std::pair<float, float>{10.0f, 1.0f}, {-1.0f, 0.0f}, {0.25f, 0.25f}}) {
        EXPECT_EQ(api.FMOD_Channel_SetVolume(channel, set), FMOD_OK);
        EXPECT_EQ(api.FMOD_Channel_GetVolume(channel, &volume), FMOD_OK);
        EXPECT_EQ(volume, kept) << set; // never amplified
    }
    EXPECT_EQ(api.FMOD_Channel_GetPosition(channel, &value, 0x40), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(api.FMOD_Channel_SetPosition(channel, 0, 0), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(api.FMOD_Sound_GetLength(sound, &value, 3), FMOD_ERR_INVALID_PARAM);
}
