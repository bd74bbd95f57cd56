#include <gtest/gtest.h>

#include "fake_session.h"

TEST(FakeLibraryLog, PlayerStartAndLoadReadAsInTheContract) {
    RecordingAnnouncer log;
    FakeLibrary library(ParseScript(""), log);
    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* sound = nullptr;
    FMOD_CHANNEL* channel = nullptr;
    FMOD_TAG tag;
    EXPECT_EQ(library.SystemCreate(&system), FMOD_OK);
    EXPECT_NE(system, nullptr);
    EXPECT_EQ(library.SystemInit(system, 2, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    EXPECT_EQ(library.SystemSetStreamBufferSize(system, 2000, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(library.SystemCreateStream(system, "C:\\x\\a.mp3", 0xC9, nullptr, &sound), FMOD_OK);
    EXPECT_EQ(library.SystemPlaySound(system, 0, sound, 1, &channel), FMOD_OK);
    EXPECT_EQ(library.ChannelSetVolume(channel, 0.75f), FMOD_OK);
    EXPECT_EQ(library.SoundGetTag(sound, nullptr, 3, &tag), FMOD_ERR_TAGNOTFOUND);
    EXPECT_EQ(library.SystemRelease(system), FMOD_OK);
    EXPECT_EQ(log.events, (std::vector<std::string>{
                              "FMOD_System_Create(&) = 0",
                              "FMOD_System_Init(system, 2, 0, null) = 0",
                              "FMOD_System_SetStreamBufferSize(system, 2000, 1) = 0",
                              "FMOD_System_CreateStream(system, \"C:\\\\x\\\\a.mp3\", 0xc9, null, &) = 0",
                              "FMOD_System_PlaySound(system, 0, sound1, 1, &) = 0",
                              "FMOD_Channel_SetVolume(channel1, 0.75) = 0",
                              "FMOD_Sound_GetTag(sound1, null, 3, &) = 76",
                              "FMOD_System_Release(system) = 0",
                          }));
}

TEST(FakeLibraryLog, ScriptNotesComeBeforeTheFirstCall) {
    RecordingAnnouncer log;
    FakeLibrary library(ParseScript("bogus 1\nlength 1\n"), log);
    FMOD_SYSTEM* system = nullptr;
    library.SystemCreate(&system);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"# unknown directive: bogus 1", "# malformed line: length 1",
                                                   "FMOD_System_Create(&) = 0"}));
}

TEST(FakeLibraryHandles, NumberedInCreationOrder) {
    Session session("");
    FMOD_SOUND* first = session.Open("a.mp3");
    FMOD_SOUND* second = session.Open("b.mp3");
    FMOD_CHANNEL* channelA = session.Play(second);
    FMOD_CHANNEL* channelB = session.Play(first);
    EXPECT_NE(first, second);
    EXPECT_NE(channelA, channelB);
    session.library->ChannelSetPaused(channelB, 0);
    EXPECT_EQ(session.LastLine(), "FMOD_Channel_SetPaused(channel2, 0) = 0");
    session.library->SoundRelease(second);
    EXPECT_EQ(session.LastLine(), "FMOD_Sound_Release(sound2) = 0");
}

TEST(FakeLibraryHandles, NullAndUnknownHandlesFailWithoutTouchingOutputs) {
    Session session("");
    FMOD_SOUND* sound = session.Open("a.mp3");
    unsigned length = 99;
    EXPECT_EQ(session.library->SoundGetLength(kGarbageSound, &length, FMOD_TIMEUNIT_MS), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(session.LastLine(), "FMOD_Sound_GetLength(bad, &, 1) = 36");
    EXPECT_EQ(session.library->SoundGetLength(nullptr, &length, FMOD_TIMEUNIT_MS), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(session.LastLine(), "FMOD_Sound_GetLength(null, &, 1) = 36");
    EXPECT_EQ(length, 99u);

    FMOD_BOOL playing = 7;
    EXPECT_EQ(session.library->ChannelIsPlaying(kGarbageChannel, &playing), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(session.LastLine(), "FMOD_Channel_IsPlaying(bad, &) = 36");
    EXPECT_EQ(playing, 7);

    // A sound handle is not a channel handle.
    EXPECT_EQ(session.library->ChannelSetVolume(reinterpret_cast<FMOD_CHANNEL*>(sound), 1.0f),
              FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(session.LastLine(), "FMOD_Channel_SetVolume(bad, 1) = 36");
    EXPECT_EQ(session.library->SystemInit(reinterpret_cast<FMOD_SYSTEM*>(sound), 2, 0, nullptr),
              FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(session.LastLine(), "FMOD_System_Init(bad, 2, 0, null) = 36");
}

TEST(FakeLibraryHandles, NullOutputPointersGiveInvalidParam) {
    Session session("");
    FMOD_SOUND* sound = session.Open("a.mp3");
    FMOD_CHANNEL* channel = session.Play(sound);
    EXPECT_EQ(session.library->SoundGetLength(sound, nullptr, FMOD_TIMEUNIT_MS), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(session.LastLine(), "FMOD_Sound_GetLength(sound1, null, 1) = 37");
    EXPECT_EQ(session.library->SoundGetNumTags(sound, nullptr, nullptr), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(session.library->ChannelGetPosition(channel, nullptr, FMOD_TIMEUNIT_MS), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(session.library->ChannelGetWaveData(channel, nullptr, 16, 0), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(session.library->ChannelGetPaused(channel, nullptr), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(session.library->SystemPlaySound(session.system, 0, sound, 0, nullptr), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(session.library->SystemCreate(nullptr), FMOD_ERR_INVALID_PARAM);
    int count = -1;
    EXPECT_EQ(session.library->SoundGetNumTags(sound, &count, nullptr), FMOD_OK) << "the updated count is optional";
    EXPECT_EQ(count, 0);
}

TEST(FakeLibraryStreams, EmptyOrNullPathFailsAndNullsTheSound) {
    Session session("");
    FMOD_SOUND* sound = kGarbageSound;
    EXPECT_EQ(session.library->SystemCreateStream(session.system, "", 0xC9, nullptr, &sound), FMOD_ERR_FILE_NOTFOUND);
    EXPECT_EQ(sound, nullptr);
    sound = kGarbageSound;
    EXPECT_EQ(session.library->SystemCreateStream(session.system, nullptr, 0x2000, nullptr, &sound),
              FMOD_ERR_FILE_NOTFOUND);
    EXPECT_EQ(session.LastLine(), "FMOD_System_CreateStream(system, null, 0x2000, null, &) = 23");
    EXPECT_EQ(sound, nullptr);

    FMOD_CHANNEL* channel = kGarbageChannel;
    EXPECT_EQ(session.library->SystemPlaySound(session.system, 0, nullptr, 1, &channel), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(session.LastLine(), "FMOD_System_PlaySound(system, 0, null, 1, &) = 37");
    EXPECT_EQ(channel, kGarbageChannel);
}

TEST(FakeLibraryStreams, ReleasedSoundStopsPlayingAndRejectsCalls) {
    Session session("tag 2 TITLE x\n");
    FMOD_SOUND* sound = session.Open("a.mp3");
    FMOD_CHANNEL* channel = session.Play(sound);
    FMOD_BOOL playing = 0;
    EXPECT_EQ(session.library->ChannelIsPlaying(channel, &playing), FMOD_OK);
    EXPECT_EQ(playing, 1);
    EXPECT_EQ(session.library->SoundRelease(sound), FMOD_OK);
    EXPECT_EQ(session.library->ChannelIsPlaying(channel, &playing), FMOD_OK);
    EXPECT_EQ(playing, 0);
    int count = 5;
    EXPECT_EQ(session.library->SoundGetNumTags(sound, &count, nullptr), FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(session.LastLine(), "FMOD_Sound_GetNumTags(sound1, &, null) = 36");
    EXPECT_EQ(session.library->SoundRelease(sound), FMOD_ERR_INVALID_HANDLE);
    FMOD_CHANNEL* again = nullptr;
    EXPECT_EQ(session.library->SystemPlaySound(session.system, 0, sound, 1, &again), FMOD_ERR_INVALID_HANDLE);
    // The channel itself still answers, so the player's shutdown calls succeed.
    EXPECT_EQ(session.library->ChannelSetPaused(channel, 1), FMOD_OK);
    EXPECT_EQ(session.library->ChannelSetPosition(channel, 0, FMOD_TIMEUNIT_MS), FMOD_OK);
}

TEST(FakeLibraryStreams, ReleasedSystemRejectsCalls) {
    Session session("");
    EXPECT_EQ(session.library->SystemRelease(session.system), FMOD_OK);
    FMOD_SOUND* sound = nullptr;
    EXPECT_EQ(session.library->SystemCreateStream(session.system, "a.mp3", 0xC9, nullptr, &sound),
              FMOD_ERR_INVALID_HANDLE);
    EXPECT_EQ(session.LastLine(), "FMOD_System_CreateStream(system, \"a.mp3\", 0xc9, null, &) = 36");
}

TEST(FakeLibraryResults, ScriptedResultForEveryCallOrTheNthCall) {
    Session session("result FMOD_Channel_GetPosition#2 33\nresult FMOD_Channel_SetVolume 19\n");
    FMOD_CHANNEL* channel = session.Play(session.Open("a.mp3"));
    unsigned position = 77;
    EXPECT_EQ(session.library->ChannelGetPosition(channel, &position, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(position, 0u);
    position = 77;
    EXPECT_EQ(session.library->ChannelGetPosition(channel, &position, FMOD_TIMEUNIT_MS), 33);
    EXPECT_EQ(session.LastLine(), "FMOD_Channel_GetPosition(channel1, &, 1) = 33");
    EXPECT_EQ(position, 77u) << "a failing call leaves its outputs alone";
    EXPECT_EQ(session.library->ChannelGetPosition(channel, &position, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(session.library->ChannelSetVolume(channel, 0.5f), 19);
    EXPECT_EQ(session.library->ChannelSetVolume(channel, 0.5f), 19);
}

TEST(FakeLibraryResults, NumberedRuleBeatsEveryCallRuleWhateverTheOrder) {
    Session session("result FMOD_Channel_SetPriority#2 5\nresult FMOD_Channel_SetPriority 6\n");
    FMOD_CHANNEL* channel = session.Play(session.Open("a.mp3"));
    EXPECT_EQ(session.library->ChannelSetPriority(channel, 256), 6);
    EXPECT_EQ(session.library->ChannelSetPriority(channel, 256), 5);
    EXPECT_EQ(session.library->ChannelSetPriority(channel, 256), 6);
}

TEST(FakeLibraryResults, FailedCreateStreamNullsTheSound) {
    Session session("result FMOD_System_CreateStream#2 25\n");
    session.Open("a.mp3");
    FMOD_SOUND* sound = kGarbageSound;
    EXPECT_EQ(session.library->SystemCreateStream(session.system, "b.mp3", 0xC9, nullptr, &sound), FMOD_ERR_FORMAT);
    EXPECT_EQ(sound, nullptr);
    FMOD_SOUND* third = session.Open("c.mp3");
    session.library->SoundRelease(third);
    EXPECT_EQ(session.LastLine(), "FMOD_Sound_Release(sound2) = 0") << "a failed open creates no sound";
}

TEST(FakeLibraryResults, ScriptedZeroCannotRescueAFailingCall) {
    Session session("result FMOD_System_CreateStream 0\nresult FMOD_Sound_GetLength 0\n");
    FMOD_SOUND* sound = kGarbageSound;
    EXPECT_EQ(session.library->SystemCreateStream(session.system, "", 0xC9, nullptr, &sound), FMOD_ERR_FILE_NOTFOUND);
    EXPECT_EQ(session.library->SoundGetLength(kGarbageSound, nullptr, FMOD_TIMEUNIT_MS), FMOD_ERR_INVALID_HANDLE);
}

TEST(FakeLibraryFaults, CrashLineIsWrittenBeforeTheFault) {
    Session session("crash FMOD_Channel_SetVolume#2\ncrash FMOD_Channel_GetPaused raise E0000001\n");
    FMOD_CHANNEL* channel = session.Play(session.Open("a.mp3"));
    session.log.events.clear();
    session.library->ChannelSetVolume(channel, 0.75f);
    session.library->ChannelSetVolume(channel, 0.25f);
    FMOD_BOOL paused = 0;
    session.library->ChannelGetPaused(channel, &paused);
    EXPECT_EQ(session.log.events, (std::vector<std::string>{
                                      "FMOD_Channel_SetVolume(channel1, 0.75) = 0",
                                      "FMOD_Channel_SetVolume(channel1, 0.25) = crash",
                                      "crash 0 0",
                                      "FMOD_Channel_GetPaused(channel1, &) = crash",
                                      "crash 5 3758096385",
                                  }));
}

TEST(FakeLibraryFaults, SleepFollowsTheLineAndKeepsTheResult) {
    Session session("sleep FMOD_Channel_IsPlaying#1 2500\nresult FMOD_Channel_IsPlaying 30\n");
    FMOD_CHANNEL* channel = session.Play(session.Open("a.mp3"));
    session.log.events.clear();
    FMOD_BOOL playing = 0;
    EXPECT_EQ(session.library->ChannelIsPlaying(channel, &playing), 30);
    EXPECT_EQ(session.library->ChannelIsPlaying(channel, &playing), 30);
    EXPECT_EQ(session.log.events,
              (std::vector<std::string>{"FMOD_Channel_IsPlaying(channel1, &) = 30", "sleep 2500",
                                        "FMOD_Channel_IsPlaying(channel1, &) = 30"}));
}

