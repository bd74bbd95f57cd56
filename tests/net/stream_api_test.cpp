// Internet radio through the 24 C entry points, against the scripted server
// (run_with_icy_server.sh passes its port). Runs natively (linked, null output)
// and under Wine against fmodex.dll, reached only through LoadLibraryA and GetProcAddress.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "fmodex_api_table.h"
#include "wait_until.h"

using namespace enginetest;
using namespace std::chrono_literals;

namespace {

constexpr FMOD_MODE kPlayMode = 0xC9;

struct TagView {
    FMOD_TAGTYPE type;
    std::string name, value;
    bool updated;
};

std::string Server(const std::string& path) {
    const char* port = std::getenv("QUENDRA_ICY_PORT");
    return std::string("http://127.0.0.1:") + (port ? port : "1") + path;
}

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

class Radio : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("QUENDRA_ICY_PORT"), nullptr) << "run through run_with_icy_server.sh";
        ASSERT_TRUE(ApiComplete());
        ASSERT_EQ(api.FMOD_System_Create(&system), FMOD_OK);
        ASSERT_EQ(api.FMOD_System_Init(system, 2, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
        ASSERT_EQ(api.FMOD_System_SetStreamBufferSize(system, 2000, FMOD_TIMEUNIT_MS), FMOD_OK);
    }
    void TearDown() override {
        if (sound) {
            EXPECT_EQ(api.FMOD_Sound_Release(sound), FMOD_OK);
        }
        if (system) {
            EXPECT_EQ(api.FMOD_System_Release(system), FMOD_OK);
        }
    }

    FMOD_RESULT Open(const std::string& path, FMOD_MODE mode = kPlayMode) {
        return api.FMOD_System_CreateStream(system, Server(path).c_str(), mode, nullptr, &sound);
    }
    // Opens, starts paused, unpauses: as the player loads a stream.
    void Play(const std::string& path) {
        ASSERT_EQ(Open(path), FMOD_OK);
        ASSERT_EQ(api.FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sound, 1, &channel), FMOD_OK);
        ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
    }
    std::vector<TagView> Tags() {
        std::vector<TagView> tags;
        int count = 0;
        if (api.FMOD_Sound_GetNumTags(sound, &count, nullptr) != FMOD_OK) return tags;
        for (int i = 0; i < count; ++i) {
            FMOD_TAG tag{};
            if (api.FMOD_Sound_GetTag(sound, nullptr, i, &tag) != FMOD_OK) continue;
            tags.push_back({tag.type, tag.name, std::string(static_cast<const char*>(tag.data)), tag.updated != 0});
        }
        return tags;
    }
    std::string Tag(const std::string& name) {
        std::string value = "<none>";
        for (const TagView& t : Tags())
            if (t.name == name) value = t.value;
        return value;
    }
    unsigned int PositionMs() {
        unsigned int ms = 0;
        api.FMOD_Channel_GetPosition(channel, &ms, FMOD_TIMEUNIT_MS);
        return ms;
    }
    bool Playing() {
        FMOD_BOOL playing = 0;
        api.FMOD_Channel_IsPlaying(channel, &playing);
        return playing != 0;
    }
    bool HearsTone() {
        std::vector<float> wave(1024);
        if (api.FMOD_Channel_GetWaveData(channel, wave.data(), 1024, 0) != FMOD_OK) return false;
        float peak = 0;
        for (float v : wave) peak = std::max(peak, std::abs(v));
        return peak > 0.2f;
    }

    const FmodexApi& api = Api();
    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* sound = nullptr;
    FMOD_CHANNEL* channel = nullptr;
};

TEST_F(Radio, IcyStreamPlaysWithHeaderTagsAndTheLastTagMarksAStream) {
    Play("/stream?title=Band%20-%20Song");
    const std::vector<TagView> tags = Tags();
    ASSERT_FALSE(tags.empty());
    EXPECT_EQ(tags.back().type, FMOD_TAGTYPE_SHOUTCAST);
    EXPECT_EQ(Tag("icy-name"), "Test Radio");
    EXPECT_EQ(Tag("icy-br"), "128");
    EXPECT_EQ(Tag("icy-genre"), "Tests");
    EXPECT_EQ(Tag("icy-url"), "http://127.0.0.1/");
    EXPECT_EQ(Tag("icy-pub"), "0");
    EXPECT_EQ(Tag("icy-description"), "A scripted server");
    EXPECT_EQ(Tag("icy-metaint"), "4000");
    EXPECT_EQ(Tag("content-type"), "audio/wav");
    EXPECT_EQ(Tag("server"), "<none>");  // headers of no interest stay out
    unsigned int length = 99;
    EXPECT_EQ(api.FMOD_Sound_GetLength(sound, &length, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(length, 0u);
    ASSERT_TRUE(WaitUntil([&] { return PositionMs() > 500 && HearsTone(); }));
    EXPECT_TRUE(Playing());
    ASSERT_TRUE(WaitUntil([&] { return Tag("TITLE") == "Song"; }));
    EXPECT_EQ(Tag("ARTIST"), "Band");
    for (const TagView& t : Tags()) {
        if (t.name == "TITLE" || t.name == "ARTIST") {
            EXPECT_EQ(t.type, FMOD_TAGTYPE_SHOUTCAST);
        }
    }
}

TEST_F(Radio, Mp3StreamWithTitlesPlaysOnPastManyMetadataBlocks) {
    Play("/stream?format=mp3&metaint=8000&every=1000");
    FMOD_SOUND_TYPE type = FMOD_SOUND_TYPE_UNKNOWN;
    ASSERT_EQ(api.FMOD_Sound_GetFormat(sound, &type, nullptr, nullptr, nullptr), FMOD_OK);
    EXPECT_EQ(type, FMOD_SOUND_TYPE_MPEG);
    ASSERT_TRUE(WaitUntil([&] { return PositionMs() > 6000; }, 30s)) << PositionMs();
    EXPECT_TRUE(Playing());
    EXPECT_TRUE(WaitUntil([&] { return HearsTone(); }));
    EXPECT_EQ(Tag("ARTIST"), "Clock");
}

TEST_F(Radio, HttpAnswerGivesIcecastTagsAndChunkedBodiesPlay) {
    Play("/stream?style=http&chunked=1&title=Only%20a%20title");
    EXPECT_EQ(Tags().back().type, FMOD_TAGTYPE_ICECAST);
    ASSERT_TRUE(WaitUntil([&] { return PositionMs() > 500 && HearsTone(); }));
    ASSERT_TRUE(WaitUntil([&] { return Tag("TITLE") == "Only a title"; }));
    EXPECT_EQ(Tag("ARTIST"), "");
    for (const TagView& t : Tags()) {
        if (t.name == "TITLE") {
            EXPECT_EQ(t.type, FMOD_TAGTYPE_ICECAST);
        }
    }
}

TEST_F(Radio, TitleChangesArriveWithinThreeSecondsMarkedUpdated) {
    Play("/stream?every=1000");
    int changes = 0;
    std::string last = Tag("TITLE");
    ASSERT_TRUE(WaitUntil([&] {
        int count = 0, updated = 0;
        api.FMOD_Sound_GetNumTags(sound, &count, &updated);
        const std::string title = Tag("TITLE");
        if (title == last || Tag("ARTIST") != "Clock") return false;
        const int64_t lateness = NowMs() - std::atoll(title.c_str());
        EXPECT_LE(lateness, 3000) << title;
        EXPECT_GE(updated, 1);
        last = title;
        return ++changes == 3;
    }, 15s));
}

TEST_F(Radio, ChainedOggLinksPlayAndTheirCommentsBecomeTitles) {
    Play("/ogg");
    EXPECT_EQ(Tag("icy-name"), "Ogg Radio");
    EXPECT_EQ(Tags().back().type, FMOD_TAGTYPE_ICECAST);
    EXPECT_EQ(Tag("TITLE"), "First Link");
    EXPECT_EQ(Tag("ARTIST"), "Ogg Artist");
    ASSERT_TRUE(WaitUntil([&] { return PositionMs() > 300 && HearsTone(); }));
    ASSERT_TRUE(WaitUntil([&] { return Tag("TITLE") == "Second Link"; }));
    EXPECT_EQ(Tag("ARTIST"), "");
    for (const TagView& t : Tags()) {
        if (t.name == "TITLE") {
            EXPECT_EQ(t.type, FMOD_TAGTYPE_ICECAST);
        }
    }
    ASSERT_TRUE(WaitUntil([&] { return Tag("TITLE") == "First Link"; }));
    EXPECT_TRUE(Playing());
    EXPECT_TRUE(HearsTone());
}

TEST_F(Radio, Latin1TitlesAreDeliveredAsUtf8) {
    Play("/stream?latin1=1&title=%C4rzte%20-%20Sch%F6n");
    ASSERT_TRUE(WaitUntil([&] { return Tag("TITLE") == "Sch\xC3\xB6n"; }));
    EXPECT_EQ(Tag("ARTIST"), "\xC3\x84rzte");
}

TEST_F(Radio, RedirectsAreFollowedUpToFive) {
    ASSERT_EQ(Open("/redirect?hops=5&then=style%3Dhttp"), FMOD_OK);
    EXPECT_EQ(Tag("icy-name"), "Test Radio");
    ASSERT_EQ(api.FMOD_Sound_Release(sound), FMOD_OK);
    sound = nullptr;
    EXPECT_NE(Open("/redirect?hops=6"), FMOD_OK);
    EXPECT_EQ(sound, nullptr);
    EXPECT_NE(Open("/loop"), FMOD_OK);
}

TEST_F(Radio, ServersRefusingHttp11AreAskedAgainWithHttp10) {
    Play("/old");
    EXPECT_EQ(Tag("icy-name"), "Old Server");
    ASSERT_TRUE(WaitUntil([&] { return PositionMs() > 300 && HearsTone(); }));
}

TEST_F(Radio, ADyingServerEndsTheChannelWithItsPositionKept) {
    Play("/stream?die=48000");  // three seconds of audio
    ASSERT_TRUE(WaitUntil([&] { return !Playing(); }, 30s));
    EXPECT_GT(PositionMs(), 1000u);
}

TEST_F(Radio, AnUnderrunPlaysSilenceAndTheStreamCarriesOn) {
    // Three seconds of audio, four seconds of nothing (the 2 s buffer runs dry), then more.
    const auto start = std::chrono::steady_clock::now();
    Play("/stream?burst=48000&pause=48000&pause_ms=4000");
    bool stopped = false;
    ASSERT_TRUE(WaitUntil([&] {
        stopped = stopped || !Playing();
        return PositionMs() > 4500 && HearsTone();
    }, 30s)) << PositionMs();
    EXPECT_FALSE(stopped);
    // The silence of the underrun is not counted as played time.
    EXPECT_GT(std::chrono::steady_clock::now() - start, 5000ms);
}

TEST_F(Radio, AStallingServerEndsTheChannel) {
    Play("/stream?stall=40000&burst=40000");
    ASSERT_TRUE(WaitUntil([&] { return !Playing(); }, 40s));
    EXPECT_GT(PositionMs(), 1000u);
}

TEST_F(Radio, ReleaseReturnsAtOnceWhileTheServerStalls) {
    Play("/stream?stall=40000&burst=40000");
    ASSERT_TRUE(WaitUntil([&] { return PositionMs() > 2000; }));  // near the end of the audio: reads wait soon
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(api.FMOD_Sound_Release(sound), FMOD_OK);
    sound = nullptr;
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
}

TEST_F(Radio, SetPositionOnAStreamIsRefusedAndPlaybackGoesOn) {
    Play("/stream");
    ASSERT_TRUE(WaitUntil([&] { return PositionMs() > 300; }));
    EXPECT_NE(api.FMOD_Channel_SetPosition(channel, 0, FMOD_TIMEUNIT_MS), FMOD_OK);
    const unsigned int before = PositionMs();
    ASSERT_TRUE(WaitUntil([&] { return PositionMs() > before + 300; }));
    EXPECT_TRUE(Playing());
}

TEST_F(Radio, OpenOnlyReadsTheHeadersAndNothingPlays) {
    ASSERT_EQ(api.FMOD_System_SetStreamBufferSize(system, 1, FMOD_TIMEUNIT_RAWBYTES), FMOD_OK);
    ASSERT_EQ(Open("/stream?name=Only%20Headers", FMOD_OPENONLY), FMOD_OK);
    EXPECT_EQ(Tag("icy-name"), "Only Headers");
    EXPECT_EQ(Tags().back().type, FMOD_TAGTYPE_SHOUTCAST);
    unsigned int length = 99;
    EXPECT_EQ(api.FMOD_Sound_GetLength(sound, &length, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(length, 0u);
    EXPECT_NE(api.FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sound, 1, &channel), FMOD_OK);
}

TEST_F(Radio, ServersThatNeverAnswerFailWithinTheOpenTimeOut) {
    for (const char* path : {"/silent", "/slowhead"}) {
        const auto before = std::chrono::steady_clock::now();
        EXPECT_NE(Open(path, FMOD_OPENONLY), FMOD_OK) << path;
        EXPECT_LT(std::chrono::steady_clock::now() - before, 7s) << path;
        EXPECT_EQ(sound, nullptr);
    }
}

TEST_F(Radio, BadAnswersFailCleanly) {
    EXPECT_NE(Open("/hugehead"), FMOD_OK);
    EXPECT_NE(Open("/missing"), FMOD_OK);
    EXPECT_EQ(Open("/stream?garbage=1"), FMOD_ERR_FORMAT);
    EXPECT_EQ(api.FMOD_System_CreateStream(system, "http://127.0.0.1:1/", kPlayMode, nullptr, &sound),
              FMOD_ERR_NET_CONNECT);
    EXPECT_NE(api.FMOD_System_CreateStream(system, "https://127.0.0.1:1/", kPlayMode, nullptr, &sound), FMOD_OK);
    EXPECT_EQ(api.FMOD_System_CreateStream(system, "http://[::1/", kPlayMode, nullptr, &sound), FMOD_ERR_NET_URL);
    EXPECT_EQ(sound, nullptr);
}

TEST_F(Radio, UnusableMetadataIntervalsPlayWithoutTitles) {
    for (const char* interval : {"0", "99999999999", "-5"}) {
        Play(std::string("/stream?metaint_header=") + interval);
        ASSERT_TRUE(WaitUntil([&] { return PositionMs() > 300 && HearsTone(); })) << interval;
        EXPECT_EQ(Tag("TITLE"), "<none>");
        ASSERT_EQ(api.FMOD_Sound_Release(sound), FMOD_OK);
        sound = nullptr;
    }
}

TEST_F(Radio, MetadataLengthPointingPastTheBlockDoesNoHarm) {
    Play("/stream?badmeta=1&metaint=2000");
    ASSERT_TRUE(WaitUntil([&] { return PositionMs() > 1000; }));
    // The block swallows the bytes after it: the title is garbage, but a bounded one.
    ASSERT_TRUE(WaitUntil([&] { return Tag("TITLE") != "<none>"; }));
    EXPECT_LE(Tag("TITLE").size(), 4080u * 2);
}

TEST_F(Radio, AOneBytePerSecondServerEndsTheChannel) {
    Play("/stream?trickle=1&burst=0");
    ASSERT_TRUE(WaitUntil([&] { return !Playing(); }, 60s));
}

}  // namespace
