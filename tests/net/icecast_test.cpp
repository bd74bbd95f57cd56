// A real Icecast2 server with ffmpeg as the source (run_with_icecast.sh starts them): an
// MP3 mount with in-band titles and an Ogg Vorbis mount; natively over http, and in the
// Windows build (under Wine, with TLS) over https with a certificate of the test authority.
#include <cstdlib>

#include "api_session.h"
#ifdef _WIN32
#include "test_authority_win.h"
#endif

using namespace enginetest;
using namespace std::chrono_literals;

namespace {

class Icecast : public ApiSession {
protected:
    void SetUp() override {
        if (const char* reason = std::getenv("QUENDRA_ICECAST_SKIP")) GTEST_SKIP() << reason;
        ASSERT_NE(std::getenv("QUENDRA_ICECAST_PORT"), nullptr) << "run through run_with_icecast.sh";
        base = std::string("http://127.0.0.1:") + std::getenv("QUENDRA_ICECAST_PORT");
#ifdef _WIN32
        base = std::string("https://localhost:") + std::getenv("QUENDRA_ICECAST_TLS_PORT");
        authority = TrustTestAuthority(std::getenv("QUENDRA_TEST_AUTHORITY"));
        ASSERT_NE(authority, nullptr);
#endif
        ApiSession::SetUp();
    }
#ifdef _WIN32
    void TearDown() override {
        ApiSession::TearDown();
        EXPECT_TRUE(ForgetTestAuthority(authority));
    }
    PCCERT_CONTEXT authority = nullptr;
#endif
    // ffmpeg's sine has an amplitude of 1/8.
    bool PlaysTone() { return Position() >= 500 && HearsTone(0.08f); }
    std::string base;
};

}  // namespace

TEST_F(Icecast, MountsPlayWithTheirHeadersAndTitlesAsIcecastTags) {
    const struct { const char* mount; FMOD_SOUND_TYPE type; std::vector<std::pair<std::string, std::string>> tags; } mounts[] = {
        {"/test.mp3", FMOD_SOUND_TYPE_MPEG, {{"icy-name", "Quendra MP3 Test"}, {"content-type", "audio/mpeg"}, {"icy-metaint", "16000"}}},
        {"/test.ogg", FMOD_SOUND_TYPE_OGGVORBIS, {{"icy-name", "Quendra Ogg Test"}, {"TITLE", "Ogg Tone"}, {"ARTIST", "Sine"}}},
    };
    for (const auto& m : mounts) {
        SCOPED_TRACE(m.mount);
        Load(base + m.mount, false);
        FMOD_SOUND_TYPE type = FMOD_SOUND_TYPE_UNKNOWN;
        api.FMOD_Sound_GetFormat(sound, &type, nullptr, nullptr, nullptr);
        EXPECT_EQ(type, m.type);
        for (const auto& [name, value] : m.tags) {
            FMOD_TAGTYPE tagType = FMOD_TAGTYPE_UNKNOWN;
            EXPECT_EQ(std::make_pair(Tag(name, &tagType), tagType), std::make_pair(value, FMOD_TAGTYPE_ICECAST)) << name;
        }
        EXPECT_EQ(Tags().back().type, FMOD_TAGTYPE_ICECAST);
        EXPECT_TRUE(WaitUntil([&] { return PlaysTone(); }));
#ifndef _WIN32  // the server is told through curl, a host program (a title change over https: tls_stream_test_win)
        if (m.type == FMOD_SOUND_TYPE_MPEG) {  // a title set on the server arrives in band
            const std::string update = "curl -s -o /dev/null -u admin:" + std::string(std::getenv("QUENDRA_ICECAST_PASSWORD")) +
                                       " '" + base + "/admin/metadata?mount=/test.mp3&mode=updinfo&song=Some%20Band%20-%20New%20Song'";
            ASSERT_EQ(std::system(update.c_str()), 0);
            ASSERT_TRUE(WaitUntil([&] { return Tag("TITLE") == "New Song"; }, 10s));
            EXPECT_EQ(Tag("ARTIST"), "Some Band");
        }
#endif
        Release();
    }
}

// ADTS AAC radio (the 3 s loop of run_with_icecast.sh, with a title set on the server): in
// fmodex.dll through the system's AAC decoder, the left channel as heard compared with ffmpeg's
// decoding of the same frames; natively, with no system decoders, a clean refusal.
TEST_F(Icecast, AacMountPlaysThroughTheSystemDecoderWithItsTitle) {
#ifndef _WIN32
    EXPECT_EQ(Open(base + "/test.aac"), FMOD_ERR_FORMAT);
#else
    const FMOD_RESULT opened = Open(base + "/test.aac");
    if (opened == FMOD_ERR_FORMAT) GTEST_SKIP() << "this Wine has no AAC decoder transform";
    ASSERT_EQ(opened, FMOD_OK);
    ASSERT_EQ(api.FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sound, false, &channel), FMOD_OK);
    EXPECT_EQ(std::get<2>(SoundFormat()), 2);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 2000; }, 10s));
    const std::vector<float> heard = Wave(32768);
    ASSERT_EQ(heard.size(), 32768u);
    const Bytes s16 = ReadFile(std::getenv("QUENDRA_ICECAST_AAC_REFERENCE"));
    const size_t loop = s16.size() / 12;  // frames per loop: three loops of 16-bit stereo
    std::vector<float> left(s16.size() / 4);
    for (size_t i = 0; i < left.size(); ++i) left[i] = int16_t(s16[4 * i] | s16[4 * i + 1] << 8) / 32768.0f;
    // Where in the middle loop the heard window begins: the best match of its first 4096 frames.
    size_t best = 0;
    double bestSum = -1;
    for (size_t at = loop; at < 2 * loop; ++at) {
        double sum = 0;
        for (size_t i = 0; i < 4096; ++i) sum += double(left[at + i]) * heard[i];
        if (sum > bestSum) bestSum = sum, best = at;
    }
    const double snr = SnrDb({left.begin() + best, left.begin() + best + heard.size()}, heard);
    std::printf("AAC radio through fmodex.dll: %zu frames heard, SNR %.1f dB against ffmpeg\n", heard.size(), snr);
    EXPECT_GE(snr, 60.0);
    EXPECT_TRUE(WaitUntil([&] { return Tag("TITLE") == "AAC Tone"; }, 10s));
    EXPECT_EQ(Tag("ARTIST"), "Quendra");
#endif
}
