// Internet radio on loopback: time from CreateStream to audible output (with the
// stream buffer the player uses, 2000 ms), for a server that sends a burst first
// and for one that sends in real time only; then the CPU share of one core while
// a WAV and an MP3 stream play. Needs the scripted server: run through
//   tests/net/run_with_icy_server.sh build/native/bench/net/net_stream_bench
// The Windows build (under Wine, with TLS) also times https through a TLS front:
//   tests/net/run_with_icy_server.sh tests/net/run_with_tls_front.sh scripts/wine-exec
//       build/windows/bin/net_stream_bench.exe    (one command line)
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "fmodex.h"
#ifdef _WIN32
#include "test_authority_win.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

bool Audible(FMOD_CHANNEL* channel) {
    std::vector<float> wave(256);
    if (FMOD_Channel_GetWaveData(channel, wave.data(), 256, 0) != FMOD_OK) return false;
    for (float v : wave)
        if (std::fabs(v) > 0.1f) return true;
    return false;
}

// Milliseconds from CreateStream until the tone is heard; -1 when it never is.
double TimeToAudible(FMOD_SYSTEM* system, const std::string& url, FMOD_SOUND** sound, FMOD_CHANNEL** channel) {
    const auto start = Clock::now();
    if (FMOD_System_CreateStream(system, url.c_str(), 0xC9, nullptr, sound) != FMOD_OK) return -1;
    FMOD_System_PlaySound(system, 0, *sound, 0, channel);
    while (!Audible(*channel)) {
        if (Clock::now() - start > std::chrono::seconds(20)) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU share of one core over `seconds` of playback after the first fill; -1 when it stopped playing.
double CpuShareWhilePlaying(FMOD_CHANNEL* channel, int seconds) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double cpu0 = ProcessCpuSeconds();
    const auto wall0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
    const double share = (ProcessCpuSeconds() - cpu0) / wall;
    FMOD_BOOL playing = 0;
    FMOD_Channel_IsPlaying(channel, &playing);
    return playing ? share : -1;
}

}  // namespace

int main() {
    const char* port = std::getenv("QUENDRA_ICY_PORT");
    if (!port) {
        std::fprintf(stderr, "run through tests/net/run_with_icy_server.sh\n");
        return 1;
    }
    const std::string base = std::string("http://127.0.0.1:") + port + "/stream";
    FMOD_SYSTEM* system = nullptr;
    FMOD_System_Create(&system);
    FMOD_System_Init(system, 2, FMOD_INIT_NORMAL, nullptr);
    FMOD_System_SetStreamBufferSize(system, 2000, FMOD_TIMEUNIT_MS);

    FMOD_SOUND* sound = nullptr;
    FMOD_CHANNEL* channel = nullptr;
    const double burst = TimeToAudible(system, base + "?burst=64000", &sound, &channel);
    FMOD_Sound_Release(sound);
    FMOD_System_SetStreamBufferSize(system, 500, FMOD_TIMEUNIT_MS);
    const double realTimeShort = TimeToAudible(system, base + "?burst=0", &sound, &channel);
    FMOD_Sound_Release(sound);
    FMOD_System_SetStreamBufferSize(system, 2000, FMOD_TIMEUNIT_MS);
    const double realTime = TimeToAudible(system, base + "?burst=0", &sound, &channel);

    const double wavShare = CpuShareWhilePlaying(channel, 10);
    FMOD_Sound_Release(sound);
    double mp3Share = -1;
    if (TimeToAudible(system, base + "?format=mp3", &sound, &channel) >= 0) mp3Share = CpuShareWhilePlaying(channel, 10);
    FMOD_Sound_Release(sound);
    FMOD_System_Release(system);

    std::printf("CreateStream to audible, server bursts 4 s first: %.0f ms\n", burst);
#ifdef _WIN32
    if (const char* authority = std::getenv("QUENDRA_TEST_AUTHORITY")) {
        PCCERT_CONTEXT trusted = TrustTestAuthority(authority);
        const std::string ports = std::getenv("QUENDRA_TLS_PORTS") ? std::getenv("QUENDRA_TLS_PORTS") : "";
        const size_t good = ports.find("good ");
        const std::string secure = "https://localhost:" + ports.substr(good + 5, ports.find('\n', good) - good - 5);
        FMOD_System_Create(&system);
        FMOD_System_Init(system, 2, FMOD_INIT_NORMAL, nullptr);
        FMOD_System_SetStreamBufferSize(system, 2000, FMOD_TIMEUNIT_MS);
        const double https = good == std::string::npos ? -1 : TimeToAudible(system, secure + "/stream?burst=64000", &sound, &channel);
        FMOD_Sound_Release(sound);
        FMOD_System_Release(system);
        ForgetTestAuthority(trusted);
        std::printf("CreateStream to audible, the same over https (TLS front on loopback): %.0f ms\n", https);
    }
#endif
    std::printf("CreateStream to audible, server sends in real time: %.0f ms (stream buffer 500 ms)\n", realTimeShort);
    std::printf("CreateStream to audible, server sends in real time: %.0f ms (stream buffer 2000 ms)\n", realTime);
    std::printf("CPU while streaming, 8 kHz mono WAV over ICY (null output): %.2f %% of one core\n", wavShare * 100);
    std::printf("CPU while streaming, 128 kbit/s MP3 over ICY (null output): %.2f %% of one core\n", mp3Share * 100);
    return 0;
}
