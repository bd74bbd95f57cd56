#include <gtest/gtest.h>

#include <cstring>

#include "fake_session.h"

TEST(FakeLibrarySounds, LengthFormatAndUnits) {
    Session session("length 312000 5000000\nformat 12 10 2 16\n");
    FMOD_SOUND* sound = session.Open("a.mp3");
    unsigned ms = 0;
    unsigned raw = 0;
    EXPECT_EQ(session.library->SoundGetLength(sound, &ms, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(session.library->SoundGetLength(sound, &raw, FMOD_TIMEUNIT_RAWBYTES), FMOD_OK);
    EXPECT_EQ(ms, 312000u);
    EXPECT_EQ(raw, 5000000u);
    unsigned pcm = 5;
    EXPECT_EQ(session.library->SoundGetLength(sound, &pcm, FMOD_TIMEUNIT_PCM), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(pcm, 5u);
    FMOD_SOUND_TYPE type = FMOD_SOUND_TYPE_UNKNOWN;
    FMOD_SOUND_FORMAT format = FMOD_SOUND_FORMAT_NONE;
    int channels = 0;
    int bits = 0;
    EXPECT_EQ(session.library->SoundGetFormat(sound, &type, &format, &channels, &bits), FMOD_OK);
    EXPECT_EQ(session.LastLine(), "FMOD_Sound_GetFormat(sound1, &, &, &, &) = 0");
    EXPECT_EQ(type, FMOD_SOUND_TYPE_MPEG);
    EXPECT_EQ(format, FMOD_SOUND_FORMAT_MPEG);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(bits, 16);
}

TEST(FakeLibrarySounds, TagsCarryTheirBytesAndStayUntilRelease) {
    Session session("tag 2 ARTIST M\\xf6we\ntag 4 icy-name Radio\\0One\ntag 2 TITLE Song\ntag 2 ARTIST Second\n");
    FMOD_SOUND* sound = session.Open("a.mp3");
    int count = 0;
    EXPECT_EQ(session.library->SoundGetNumTags(sound, &count, nullptr), FMOD_OK);
    EXPECT_EQ(count, 4);

    FMOD_TAG first;
    FMOD_TAG second;
    ASSERT_EQ(session.library->SoundGetTag(sound, nullptr, 0, &first), FMOD_OK);
    ASSERT_EQ(session.library->SoundGetTag(sound, nullptr, 1, &second), FMOD_OK);
    EXPECT_EQ(first.type, FMOD_TAGTYPE_ID3V2);
    EXPECT_EQ(first.datatype, FMOD_TAGDATATYPE_STRING);
    EXPECT_STREQ(first.name, "ARTIST");
    ASSERT_EQ(first.datalen, 4u);
    EXPECT_EQ(std::memcmp(first.data, "M\xf6we", 4), 0);
    EXPECT_EQ(second.type, FMOD_TAGTYPE_SHOUTCAST);
    ASSERT_EQ(second.datalen, 9u);
    EXPECT_EQ(std::memcmp(second.data, "Radio\0One", 9), 0);
    // Reading more tags must not move what was handed out before.
    FMOD_TAG later;
    session.library->SoundGetTag(sound, nullptr, 3, &later);
    EXPECT_STREQ(first.name, "ARTIST");
    EXPECT_EQ(std::memcmp(first.data, "M\xf6we", 4), 0);

    FMOD_TAG byName;
    ASSERT_EQ(session.library->SoundGetTag(sound, "ARTIST", 1, &byName), FMOD_OK);
    EXPECT_EQ(std::string(static_cast<const char*>(byName.data), byName.datalen), "Second");
    EXPECT_EQ(session.LastLine(), "FMOD_Sound_GetTag(sound1, \"ARTIST\", 1, &) = 0");
    EXPECT_EQ(session.library->SoundGetTag(sound, "ARTIST", 2, &byName), FMOD_ERR_TAGNOTFOUND);
    EXPECT_EQ(session.library->SoundGetTag(sound, nullptr, 4, &byName), FMOD_ERR_TAGNOTFOUND);
    EXPECT_EQ(session.library->SoundGetTag(sound, nullptr, -1, &byName), FMOD_ERR_INVALID_PARAM);
}

TEST(FakeLibraryChannels, PositionStartsFromScriptUntilSet) {
    Session session("position 4000\n");
    FMOD_CHANNEL* channel = session.Play(session.Open("a.mp3"));
    unsigned position = 0;
    session.library->ChannelGetPosition(channel, &position, FMOD_TIMEUNIT_MS);
    EXPECT_EQ(position, 4000u);
    EXPECT_EQ(session.library->ChannelSetPosition(channel, 1234, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(session.LastLine(), "FMOD_Channel_SetPosition(channel1, 1234, 1) = 0");
    session.library->ChannelGetPosition(channel, &position, FMOD_TIMEUNIT_MS);
    EXPECT_EQ(position, 1234u);
    FMOD_CHANNEL* next = session.Play(session.Open("b.mp3"));
    session.library->ChannelGetPosition(next, &position, FMOD_TIMEUNIT_MS);
    EXPECT_EQ(position, 4000u) << "a new channel starts from the script again";
}

TEST(FakeLibraryChannels, PausedFollowsPlaySoundAndSetPaused) {
    Session session("paused 0\n");
    FMOD_SOUND* sound = session.Open("a.mp3");
    FMOD_CHANNEL* channel = session.Play(sound);
    FMOD_BOOL paused = 0;
    session.library->ChannelGetPaused(channel, &paused);
    EXPECT_EQ(paused, 1);
    session.library->ChannelSetPaused(channel, 0);
    session.library->ChannelGetPaused(channel, &paused);
    EXPECT_EQ(paused, 0);
}

TEST(FakeLibraryChannels, WaveRepeatsItsSequence) {
    Session session("wave 0.5 -0.5 1\n");
    FMOD_CHANNEL* channel = session.Play(session.Open("a.mp3"));
    float samples[8] = {};
    EXPECT_EQ(session.library->ChannelGetWaveData(channel, samples, 7, 0), FMOD_OK);
    EXPECT_EQ(session.LastLine(), "FMOD_Channel_GetWaveData(channel1, &, 7, 0) = 0");
    float expected[8] = {0.5f, -0.5f, 1.0f, 0.5f, -0.5f, 1.0f, 0.5f, 0.0f};
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(samples[i], expected[i]) << i;
    }
}

TEST(FakeLibraryChannels, WaveDefaultsToSilenceAndStopEndsPlaying) {
    Session session("");
    FMOD_CHANNEL* channel = session.Play(session.Open("a.mp3"));
    float samples[4] = {9, 9, 9, 9};
    session.library->ChannelGetWaveData(channel, samples, 4, 1);
    for (float sample : samples) {
        EXPECT_EQ(sample, 0.0f);
    }
    FMOD_BOOL playing = 0;
    session.library->ChannelStop(channel);
    session.library->ChannelIsPlaying(channel, &playing);
    EXPECT_EQ(playing, 0);
}

TEST(FakeLibraryFiles, SectionAnswersOnlyForItsPath) {
    Session session("length 1000 1\nwave 0.1\nfile C:\\b.mp3\nlength 2000 2\nplaying 0\nwave 0.9\n");
    FMOD_SOUND* a = session.Open("C:\\a.mp3");
    FMOD_SOUND* b = session.Open("C:\\b.mp3");
    FMOD_SOUND* upper = session.Open("C:\\B.mp3");
    unsigned length = 0;
    session.library->SoundGetLength(a, &length, FMOD_TIMEUNIT_MS);
    EXPECT_EQ(length, 1000u);
    session.library->SoundGetLength(b, &length, FMOD_TIMEUNIT_MS);
    EXPECT_EQ(length, 2000u);
    session.library->SoundGetLength(upper, &length, FMOD_TIMEUNIT_MS);
    EXPECT_EQ(length, 1000u);

    FMOD_CHANNEL* channelA = session.Play(a);
    FMOD_CHANNEL* channelB = session.Play(b);
    FMOD_BOOL playing = 0;
    session.library->ChannelIsPlaying(channelA, &playing);
    EXPECT_EQ(playing, 1);
    session.library->ChannelIsPlaying(channelB, &playing);
    EXPECT_EQ(playing, 0);
    float sample = 0;
    session.library->ChannelGetWaveData(channelB, &sample, 1, 0);
    EXPECT_EQ(sample, 0.9f);
}

TEST(FakeLibraryFiles, SectionRulesCountTheFilesOwnCalls) {
    Session session("result FMOD_Sound_GetLength 20\n"
                    "file b.mp3\n"
                    "result FMOD_Sound_GetLength#2 21\n"
                    "crash FMOD_System_CreateStream#2 divide\n");
    FMOD_SOUND* a = session.Open("a.mp3");
    FMOD_SOUND* b = session.Open("b.mp3");
    unsigned length = 0;
    EXPECT_EQ(session.library->SoundGetLength(a, &length, FMOD_TIMEUNIT_MS), 20);
    EXPECT_EQ(session.library->SoundGetLength(a, &length, FMOD_TIMEUNIT_MS), 20);
    EXPECT_EQ(session.library->SoundGetLength(b, &length, FMOD_TIMEUNIT_MS), 20) << "global rule still applies";
    EXPECT_EQ(session.library->SoundGetLength(b, &length, FMOD_TIMEUNIT_MS), 21) << "second call for b.mp3";
    EXPECT_EQ(session.library->SoundGetLength(b, &length, FMOD_TIMEUNIT_MS), 20);

    session.log.events.clear();
    session.Open("a.mp3");
    FMOD_SOUND* again = nullptr;
    session.library->SystemCreateStream(session.system, "b.mp3", 0xC9, nullptr, &again);
    EXPECT_EQ(session.log.events,
              (std::vector<std::string>{"FMOD_System_CreateStream(system, \"a.mp3\", 0xc9, null, &) = 0",
                                        "FMOD_System_CreateStream(system, \"b.mp3\", 0xc9, null, &) = crash",
                                        "crash 1 0"}));
}
