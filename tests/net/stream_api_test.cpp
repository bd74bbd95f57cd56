// Internet radio through the 24 C entry points against the scripted server
// (run_with_icy_server.sh passes its port). Runs natively (linked, null output) and under
// Wine against fmodex.dll.
#include <chrono>
#include <cstdlib>

#include "api_session.h"

using namespace enginetest;
using namespace std::chrono_literals;

namespace {

class Radio : public ApiSession {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("QUENDRA_ICY_PORT"), nullptr) << "run through run_with_icy_server.sh";
        ApiSession::SetUp();
    }
    static std::string Server(const std::string& path) {
        return std::string("http://127.0.0.1:") + std::getenv("QUENDRA_ICY_PORT") + path;
    }
    void Play(const std::string& path) { Load(Server(path), false); }
};

}  // namespace

TEST_F(Radio, StationsPlayWithTheirHeadersAndInBandTitlesUntilTheServerStops) {
    using Expected = std::vector<std::pair<std::string, std::string>>;
    constexpr FMOD_TAGTYPE Shout = FMOD_TAGTYPE_SHOUTCAST, Ice = FMOD_TAGTYPE_ICECAST;
    struct Station {
        const char* path;
        FMOD_SOUND_TYPE format;
        FMOD_TAGTYPE type;    // of the header tags, the titles and the last tag, which marks a stream
        Expected tags;        // waited for, in any order
        unsigned int played;  // ms heard at least
        bool ends;            // the channel ends by itself
    } const stations[] = {
        {"/stream?title=Band%20-%20Song", FMOD_SOUND_TYPE_WAV, Shout,
         {{"icy-name", "Test Radio"}, {"icy-br", "128"}, {"icy-metaint", "4000"}, {"content-type", "audio/wav"},
          {"server", "<none>"}, {"TITLE", "Song"}, {"ARTIST", "Band"}}, 500, false},
        {"/stream?style=http&chunked=1&title=Only%20a%20title", FMOD_SOUND_TYPE_WAV, Ice,
         {{"TITLE", "Only a title"}, {"ARTIST", ""}}, 500, false},
        {"/old", FMOD_SOUND_TYPE_WAV, Shout, {{"icy-name", "Old Server"}}, 500, false},  // refuses HTTP/1.1, asked again with 1.0
        {"/redirect?hops=5&then=style%3Dhttp", FMOD_SOUND_TYPE_WAV, Ice, {{"icy-name", "Test Radio"}}, 500, false},
        {"/stream?metaint_header=99999999999", FMOD_SOUND_TYPE_WAV, Shout, {{"TITLE", "<none>"}}, 500, false},  // no blocks cut out
        {"/stream?format=mp3&metaint=8000&every=1000", FMOD_SOUND_TYPE_MPEG, Shout, {{"ARTIST", "Clock"}}, 6000, false},
        // Three seconds of audio, four of nothing (the 2 s buffer runs dry), then more: an underrun, no end.
        {"/stream?burst=48000&pause=48000&pause_ms=4000", FMOD_SOUND_TYPE_WAV, Shout, {}, 4500, false},
        {"/stream?die=48000", FMOD_SOUND_TYPE_WAV, Shout, {}, 1000, true},  // then the connection closes
        {"/stream?stall=40000&burst=40000", FMOD_SOUND_TYPE_WAV, Shout, {}, 1000, true},  // then nothing more
        {"/stream?trickle=1&burst=0", FMOD_SOUND_TYPE_WAV, Shout, {}, 0, true},        // a byte per second
    };
    for (const Station& s : stations) {
        SCOPED_TRACE(s.path);
        Play(s.path);
        FMOD_SOUND_TYPE format = FMOD_SOUND_TYPE_UNKNOWN;
        ASSERT_EQ(api.FMOD_Sound_GetFormat(sound, &format, nullptr, nullptr, nullptr), FMOD_OK);
        EXPECT_EQ(std::make_pair(format, Length()), std::make_pair(s.format, 0u));
        if (s.ends) {
            ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }, 60s));
            EXPECT_GE(Position(), s.played);
        } else {
            ASSERT_TRUE(WaitUntil([&] { return Position() > s.played && HearsTone(); }, 30s)) << Position();
            EXPECT_EQ(Playing(), 1);
        }
        const bool found = WaitUntil([&] {
            return std::all_of(s.tags.begin(), s.tags.end(), [&](const auto& t) { return Tag(t.first) == t.second; });
        });
        for (const auto& [name, value] : s.tags) EXPECT_EQ(Tag(name), value) << name << (found ? "" : " (timed out)");
        for (const TagView& t : Tags()) EXPECT_TRUE(t.type == s.type || (t.name != "TITLE" && t.name != "icy-name")) << t.name;
        EXPECT_TRUE(!Tags().empty() && Tags().back().type == s.type);
        Release();
    }
}

TEST_F(Radio, ChainedOggLinksPlayAndTheirCommentsBecomeTitles) {
    Play("/ogg");
    EXPECT_EQ(std::make_pair(Tag("TITLE"), Tag("ARTIST")), std::make_pair(std::string("First Link"), std::string("Ogg Artist")));
    ASSERT_TRUE(WaitUntil([&] { return Position() > 300 && HearsTone(); }));
    ASSERT_TRUE(WaitUntil([&] { return Tag("TITLE") == "Second Link"; }));
    FMOD_TAGTYPE type = FMOD_TAGTYPE_UNKNOWN;
    EXPECT_EQ(std::make_pair(Tag("ARTIST", &type), type), std::make_pair(std::string(), FMOD_TAGTYPE_ICECAST));
    ASSERT_TRUE(WaitUntil([&] { return Tag("TITLE") == "First Link"; }));
    EXPECT_TRUE(Playing() == 1 && HearsTone());
}

TEST_F(Radio, ReleaseReturnsAtOnceWhileTheServerStallsAndSeeksAreRefused) {
    Play("/stream?stall=40000&burst=40000");
    ASSERT_TRUE(WaitUntil([&] { return Position() > 300; }));
    EXPECT_NE(api.FMOD_Channel_SetPosition(channel, 0, FMOD_TIMEUNIT_MS), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Position() > 2000; }));  // near the end of the audio: reads wait soon
    const auto before = std::chrono::steady_clock::now();
    Release();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
}

TEST_F(Radio, OpenOnlyReadsTheHeadersAndNothingPlays) {
    ASSERT_EQ(api.FMOD_System_SetStreamBufferSize(system, 1, FMOD_TIMEUNIT_RAWBYTES), FMOD_OK);
    ASSERT_EQ(Open(Server("/stream?name=Only%20Headers"), FMOD_OPENONLY), FMOD_OK);
    EXPECT_EQ(Tag("icy-name"), "Only Headers");
    EXPECT_EQ(Tags().back().type, FMOD_TAGTYPE_SHOUTCAST);
    EXPECT_EQ(Length(), 0u);
    EXPECT_NE(api.FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sound, 1, &channel), FMOD_OK);
}

TEST_F(Radio, BadAddressesAndAnswersFailCleanlyAndInTime) {
    const struct { std::string url; FMOD_MODE mode; FMOD_RESULT result; /* FMOD_OK: any error */ } cases[] = {
        {Server("/silent"), FMOD_OPENONLY, FMOD_OK}, {Server("/slowhead"), FMOD_OPENONLY, FMOD_OK},  // the open time-out
        {Server("/hugehead"), kPlayMode, FMOD_OK}, {Server("/missing"), kPlayMode, FMOD_OK},
        {Server("/loop"), kPlayMode, FMOD_OK}, {Server("/redirect?hops=6"), kPlayMode, FMOD_OK},
        {Server("/stream?garbage=1"), kPlayMode, FMOD_ERR_FORMAT},
        {"http://127.0.0.1:1/", kPlayMode, FMOD_ERR_NET_CONNECT}, {"https://127.0.0.1:1/", kPlayMode, FMOD_OK},
        {"http://[::1/", kPlayMode, FMOD_ERR_NET_URL},
    };
    for (const auto& c : cases) {
        const auto before = std::chrono::steady_clock::now();
        const FMOD_RESULT result = Open(c.url, c.mode);
        EXPECT_NE(result, FMOD_OK) << c.url;
        EXPECT_TRUE(c.result == FMOD_OK || result == c.result) << c.url << ": " << result;
        EXPECT_EQ(sound, nullptr) << c.url;
        EXPECT_LT(std::chrono::steady_clock::now() - before, 7s) << c.url;
    }
}
