// A real Icecast2 server with ffmpeg as the source (run_with_icecast.sh starts
// them): an MP3 mount with in-band titles and an Ogg Vorbis mount.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "fmodex.h"
#include "wait_until.h"

using enginetest::WaitUntil;
using namespace std::chrono_literals;

namespace {

class Icecast : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* reason = std::getenv("QUENDRA_ICECAST_SKIP")) GTEST_SKIP() << reason;
        ASSERT_NE(std::getenv("QUENDRA_ICECAST_PORT"), nullptr) << "run through run_with_icecast.sh";
        base = std::string("http://127.0.0.1:") + std::getenv("QUENDRA_ICECAST_PORT");
        ASSERT_EQ(FMOD_System_Create(&system), FMOD_OK);
        ASSERT_EQ(FMOD_System_Init(system, 2, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
        ASSERT_EQ(FMOD_System_SetStreamBufferSize(system, 2000, FMOD_TIMEUNIT_MS), FMOD_OK);
    }
    void TearDown() override {
        if (sound) {
            EXPECT_EQ(FMOD_Sound_Release(sound), FMOD_OK);
        }
        if (system) {
            EXPECT_EQ(FMOD_System_Release(system), FMOD_OK);
        }
    }

    void Play(const std::string& mount) {
        ASSERT_EQ(FMOD_System_CreateStream(system, (base + mount).c_str(), 0xC9, nullptr, &sound), FMOD_OK);
        ASSERT_EQ(FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sound, 0, &channel), FMOD_OK);
    }
    std::string Tag(const std::string& name, FMOD_TAGTYPE* type = nullptr) {
        std::string value = "<none>";
        int count = 0;
        FMOD_Sound_GetNumTags(sound, &count, nullptr);
        for (int i = 0; i < count; ++i) {
            FMOD_TAG tag{};
            if (FMOD_Sound_GetTag(sound, nullptr, i, &tag) != FMOD_OK || name != tag.name) continue;
            value = static_cast<const char*>(tag.data);
            if (type) *type = tag.type;
        }
        return value;
    }
    FMOD_TAGTYPE LastTagType() {
        int count = 0;
        FMOD_TAG tag{};
        FMOD_Sound_GetNumTags(sound, &count, nullptr);
        if (count == 0 || FMOD_Sound_GetTag(sound, nullptr, count - 1, &tag) != FMOD_OK) return FMOD_TAGTYPE_UNKNOWN;
        return tag.type;
    }
    bool PlaysTone() {
        unsigned int ms = 0;
        FMOD_Channel_GetPosition(channel, &ms, FMOD_TIMEUNIT_MS);
        std::vector<float> wave(1024);
        if (ms < 500 || FMOD_Channel_GetWaveData(channel, wave.data(), 1024, 0) != FMOD_OK) return false;
        float peak = 0;
        for (float v : wave) peak = std::max(peak, std::fabs(v));
        return peak > 0.08f;  // ffmpeg's sine has an amplitude of 1/8
    }

    std::string base;
    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* sound = nullptr;
    FMOD_CHANNEL* channel = nullptr;
};

TEST_F(Icecast, Mp3MountPlaysWithItsHeadersAsIcecastTags) {
    Play("/test.mp3");
    FMOD_TAGTYPE type = FMOD_TAGTYPE_UNKNOWN;
    EXPECT_EQ(Tag("icy-name", &type), "Quendra MP3 Test");
    EXPECT_EQ(type, FMOD_TAGTYPE_ICECAST);
    EXPECT_EQ(Tag("content-type"), "audio/mpeg");
    EXPECT_EQ(Tag("icy-metaint"), "16000");
    EXPECT_EQ(LastTagType(), FMOD_TAGTYPE_ICECAST);
    FMOD_SOUND_TYPE soundType = FMOD_SOUND_TYPE_UNKNOWN;
    FMOD_Sound_GetFormat(sound, &soundType, nullptr, nullptr, nullptr);
    EXPECT_EQ(soundType, FMOD_SOUND_TYPE_MPEG);
    EXPECT_TRUE(WaitUntil([&] { return PlaysTone(); }));
}

TEST_F(Icecast, Mp3TitleSetOnTheServerArrivesAsArtistAndTitle) {
    Play("/test.mp3");
    const std::string update = "curl -s -o /dev/null -u admin:" + std::string(std::getenv("QUENDRA_ICECAST_PASSWORD")) +
                               " '" + base + "/admin/metadata?mount=/test.mp3&mode=updinfo&song=Some%20Band%20-%20New%20Song'";
    ASSERT_EQ(std::system(update.c_str()), 0);
    ASSERT_TRUE(WaitUntil([&] { return Tag("TITLE") == "New Song"; }, 10s));
    FMOD_TAGTYPE type = FMOD_TAGTYPE_UNKNOWN;
    EXPECT_EQ(Tag("ARTIST", &type), "Some Band");
    EXPECT_EQ(type, FMOD_TAGTYPE_ICECAST);
    EXPECT_TRUE(WaitUntil([&] { return PlaysTone(); }));
}

TEST_F(Icecast, OggMountPlaysAndItsCommentsGiveTheTitle) {
    Play("/test.ogg");
    EXPECT_EQ(Tag("icy-name"), "Quendra Ogg Test");
    EXPECT_EQ(LastTagType(), FMOD_TAGTYPE_ICECAST);
    EXPECT_EQ(Tag("TITLE"), "Ogg Tone");
    EXPECT_EQ(Tag("ARTIST"), "Sine");
    EXPECT_TRUE(WaitUntil([&] { return PlaysTone(); }));
}

TEST_F(Icecast, OpenOnlyGivesTheHeadersOfAMount) {
    ASSERT_EQ(FMOD_System_SetStreamBufferSize(system, 1, FMOD_TIMEUNIT_RAWBYTES), FMOD_OK);
    ASSERT_EQ(FMOD_System_CreateStream(system, (base + "/test.ogg").c_str(), FMOD_OPENONLY, nullptr, &sound), FMOD_OK);
    EXPECT_EQ(Tag("icy-name"), "Quendra Ogg Test");
    EXPECT_EQ(LastTagType(), FMOD_TAGTYPE_ICECAST);
}

}  // namespace
