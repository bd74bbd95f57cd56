// CPU used by real-time playback through the null output: process CPU time
// over wall time while a 44.1 kHz stereo WAV plays, as a share of one core.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "audio_builders.h"
#include "fmodex.h"

using namespace enginetest;

namespace {

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// CPU share of one core while `body` waits out `seconds` of wall time.
double MeasureShare(double seconds) {
    const double cpu0 = ProcessCpuSeconds();
    const auto wall0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    return (ProcessCpuSeconds() - cpu0) / wall;
}

}  // namespace

int main() {
    constexpr uint32_t kSeconds = 30;
    WavLayout s;
    s.data = EncodePcmLe(Sine(440, 44100, 2, 44100 * kSeconds), 2);
    const std::string path = WriteTempFile("cpu.wav", MakeWav(s));

    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* sound = nullptr;
    FMOD_CHANNEL* channel = nullptr;
    FMOD_System_Create(&system);
    FMOD_System_Init(system, 2, FMOD_INIT_NORMAL, nullptr);
    FMOD_System_SetStreamBufferSize(system, 2000, FMOD_TIMEUNIT_MS);
    const double idle = MeasureShare(3.0);  // the output and decode threads with nothing to play

    FMOD_System_CreateStream(system, path.c_str(), 0xC9, nullptr, &sound);
    FMOD_System_PlaySound(system, 0, sound, 1, &channel);
    FMOD_Channel_SetPaused(channel, 0);
    std::this_thread::sleep_for(std::chrono::seconds(1));  // past the first fill of the stream buffer
    const double playing = MeasureShare(10.0);
    unsigned int ms = 0;
    FMOD_Channel_GetPosition(channel, &ms, FMOD_TIMEUNIT_MS);
    FMOD_System_Release(system);

    std::printf("null output, idle:    %.3f %% of one core\n", idle * 100);
    std::printf("null output, playing: %.3f %% of one core (44.1 kHz stereo 16-bit WAV, position %u ms)\n",
                playing * 100, ms);
    return 0;
}
