// https streams through fmodex.dll under Wine: Schannel against a TLS front to the
// scripted radio server (run_with_tls_front.sh), whose test authority the set-up puts
// into the machine's root store and takes out again.
#include <chrono>
#include <map>
#include <sstream>

#include "api_session.h"
#include "test_authority_win.h"

using namespace enginetest;
using namespace std::chrono_literals;

namespace {

class TestAuthority : public ::testing::Environment {
public:
    void SetUp() override {
        const char* path = std::getenv("QUENDRA_TEST_AUTHORITY");
        if (!path) return;
        added_ = TrustTestAuthority(path);
        ASSERT_NE(added_, nullptr) << path;
    }
    void TearDown() override {
        if (!added_) return;
        EXPECT_TRUE(ForgetTestAuthority(added_));
    }

private:
    PCCERT_CONTEXT added_ = nullptr;
};
const auto* const kAuthority = ::testing::AddGlobalTestEnvironment(new TestAuthority);

class Https : public ApiSession {
protected:
    void SetUp() override {
        const char* ports = std::getenv("QUENDRA_TLS_PORTS");
        ASSERT_NE(ports, nullptr) << "run through run_with_tls_front.sh";
        std::istringstream lines(ports);
        std::string name;
        int port;
        while (lines >> name >> port) ports_[name] = std::to_string(port);
        ApiSession::SetUp();
    }
    // "https://localhost:good/stream" with the port of the front named "good" in its place.
    std::string Address(const std::string& url) {
        const size_t name = url.find(':', 6) + 1, end = url.find('/', name);
        return url.substr(0, name) + ports_[url.substr(name, end - name)] + url.substr(end);
    }

    std::map<std::string, std::string> ports_;
};

}  // namespace

TEST_F(Https, StationsPlayOverTlsWithTheirTitlesAndRedirectsEitherWay) {
    struct Station {
        const char* url;  // the port named as in Address
        FMOD_SOUND_TYPE format;
        const char* tag;  // waited for
        const char* value;
    } const stations[] = {
        {"https://localhost:good/stream?title=Band%20-%20Song", FMOD_SOUND_TYPE_WAV, "TITLE", "Song"},
        {"https://localhost:good/stream?style=http&chunked=1&title=Chunked", FMOD_SOUND_TYPE_WAV, "TITLE", "Chunked"},
        {"https://localhost:good/stream?format=mp3&metaint=8000&every=1000", FMOD_SOUND_TYPE_MPEG, "ARTIST", "Clock"},  // a title change
        {"https://localhost:good/ogg", FMOD_SOUND_TYPE_OGGVORBIS, "TITLE", "First Link"},
        {"https://127.0.0.1:good/stream", FMOD_SOUND_TYPE_WAV, "TITLE", "First Song"},  // an address the certificate names
        {"https://localhost:good/to-http/stream?title=Plain", FMOD_SOUND_TYPE_WAV, "TITLE", "Plain"},  // https -> http
        {"http://127.0.0.1:plain/stream?title=Secure", FMOD_SOUND_TYPE_WAV, "TITLE", "Secure"},        // http -> https
    };
    for (const Station& s : stations) {
        const std::string address = Address(s.url);
        SCOPED_TRACE(address);
        Load(address, false);
        FMOD_SOUND_TYPE format = FMOD_SOUND_TYPE_UNKNOWN;
        ASSERT_EQ(api.FMOD_Sound_GetFormat(sound, &format, nullptr, nullptr, nullptr), FMOD_OK);
        EXPECT_EQ(format, s.format);
        EXPECT_TRUE(WaitUntil([&] { return Position() > 1000 && HearsTone(); }, 30s)) << Position();
        EXPECT_TRUE(WaitUntil([&] { return Tag(s.tag) == s.value; })) << Tag(s.tag);
        Release();
    }
}

TEST_F(Https, ListAnswersAndServersThatDieBehaveAsOverHttp) {
    ASSERT_EQ(Open(Address("https://localhost:good/list.pls"), FMOD_OPENONLY), FMOD_OK);
    EXPECT_EQ(Tag("content-type"), "audio/x-scpls");
    Release();
    // Three seconds of audio, then the server's close_notify: the end comes with the audio's
    // end, not by the six seconds of silence after which a stalled stream is given up.
    Load(Address("https://localhost:good/stream?die=48000"), false);
    ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }, 5s));
    EXPECT_GE(Position(), 1000u);
}

TEST_F(Https, CertificatesThatDoNotHoldAreRefusedAndNothingPlays) {
    for (const char* front : {"selfsigned", "wrongname", "expired"}) {
        SCOPED_TRACE(front);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Open(Address("https://localhost:" + std::string(front) + "/stream")), FMOD_ERR_NET_CONNECT);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 6s);
        EXPECT_EQ(sound, nullptr);
    }
}
