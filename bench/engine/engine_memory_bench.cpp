// Heap the sound library holds while it streams an hour-long MP3, FLAC and Ogg Vorbis file
// through the null output, beside a one-minute file of each kind: before the open, after
// it, while playing (from the start, after a seek to the middle and one near the end) and
// after the release. The aim is at most 2 MB beyond the stream buffer, whatever the file's
// length. It reports and asserts nothing; it fails only when a file will not open or play.
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "fmodex.h"

namespace {

constexpr unsigned kBufferMs = 2000;
constexpr unsigned kRate = 44100;  // the material's rate
constexpr long kTargetBytes = 2 * 1024 * 1024;
// Excesses this close count as the same: thread stacks and the allocator's own
// bookkeeping move the figures by a few KB from run to run.
constexpr long kSameBytes = 128 * 1024;

// Bytes handed out by malloc in every arena, blocks mapped on their own (large
// buffers) included.
long HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<long>(m.uordblks + m.hblkhd);
}

struct Figures {
    long before = 0, opened = 0, peak = 0, released = 0;
    long bufferBytes = 0;
    long Excess() const { return peak - before - bufferBytes; }
};

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Samples the heap every 250 ms for `ms` while the channel must keep playing.
bool WatchPlaying(FMOD_CHANNEL* channel, int ms, Figures* f) {
    for (int waited = 0; waited < ms; waited += 250) {
        Sleep(250);
        FMOD_BOOL playing = 0;
        if (FMOD_Channel_IsPlaying(channel, &playing) != FMOD_OK || !playing) return false;
        const long now = HeapInUse();
        if (now > f->peak) f->peak = now;
    }
    return true;
}

// Plays from `fromMs` for `ms` and checks that the position moved on from there.
bool PlayStretch(FMOD_CHANNEL* channel, unsigned fromMs, int ms, Figures* f) {
    if (fromMs > 0 && FMOD_Channel_SetPosition(channel, fromMs, FMOD_TIMEUNIT_MS) != FMOD_OK) return false;
    if (!WatchPlaying(channel, ms, f)) return false;
    unsigned position = 0;
    return FMOD_Channel_GetPosition(channel, &position, FMOD_TIMEUNIT_MS) == FMOD_OK && position > fromMs;
}

// The figures of one file; false (and a message) when it would not open or play.
bool Measure(FMOD_SYSTEM* system, const std::string& path, Figures* f) {
    Sleep(200);  // the previous file's threads and buffers are gone
    f->before = HeapInUse();
    FMOD_SOUND* sound = nullptr;
    const FMOD_MODE mode = FMOD_LOOP_OFF | FMOD_2D | FMOD_SOFTWARE | FMOD_CREATESTREAM;
    if (FMOD_System_CreateStream(system, path.c_str(), mode, nullptr, &sound) != FMOD_OK) {
        std::fprintf(stderr, "%s: does not open\n", path.c_str());
        return false;
    }
    f->opened = f->peak = HeapInUse();
    int channels = 0;
    unsigned lengthMs = 0;
    FMOD_Sound_GetFormat(sound, nullptr, nullptr, &channels, nullptr);
    FMOD_Sound_GetLength(sound, &lengthMs, FMOD_TIMEUNIT_MS);
    f->bufferBytes = static_cast<long>(kBufferMs) * kRate / 1000 * channels * static_cast<long>(sizeof(float));
    FMOD_CHANNEL* channel = nullptr;
    bool played = FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sound, 0, &channel) == FMOD_OK &&
                  lengthMs > 10000 && PlayStretch(channel, 0, 3000, f) &&
                  PlayStretch(channel, lengthMs / 2, 2000, f) && PlayStretch(channel, lengthMs - 5000, 2000, f);
    if (!played) std::fprintf(stderr, "%s: does not play through its stretches\n", path.c_str());
    FMOD_Sound_Release(sound);
    Sleep(200);
    f->released = HeapInUse();
    return played;
}

}  // namespace

int main() {
    FMOD_SYSTEM* system = nullptr;
    if (FMOD_System_Create(&system) != FMOD_OK || FMOD_System_Init(system, 2, FMOD_INIT_NORMAL, nullptr) != FMOD_OK)
        return 1;
    FMOD_System_SetStreamBufferSize(system, kBufferMs, FMOD_TIMEUNIT_MS);

    const char* formats[] = {"mp3", "flac", "ogg"};
    bool allPlayed = true;
    std::printf("heap in use (glibc mallinfo2: uordblks + hblkhd), stream buffer %u ms, target: excess <= %ld KB\n",
                kBufferMs, kTargetBytes / 1024);
    std::printf("%-12s %11s %11s %11s %11s %11s %11s %8s\n", "file", "before KB", "opened KB", "peak KB",
                "released KB", "buffer B", "excess KB", "<= 2 MB");
    for (const char* format : formats) {
        Figures byLength[2];
        const char* lengths[] = {"hour", "minute"};
        for (int i = 0; i < 2; ++i) {
            const std::string name = std::string(lengths[i]) + "." + format;
            Figures& f = byLength[i];
            allPlayed &= Measure(system, std::string(MEMORY_BENCH_DIR) + "/" + name, &f);
            std::printf("%-12s %11ld %11ld %11ld %11ld %11ld %11ld %8s\n", name.c_str(), f.before / 1024,
                        f.opened / 1024, f.peak / 1024, f.released / 1024, f.bufferBytes, f.Excess() / 1024,
                        f.Excess() <= kTargetBytes ? "yes" : "NO");
        }
        const long apart = std::labs(byLength[0].Excess() - byLength[1].Excess());
        std::printf("%-12s hour and minute excess %ld KB apart: %s\n", format, apart / 1024,
                    apart <= kSameBytes ? "independent of length" : "GROWS WITH LENGTH");
    }
    FMOD_System_Release(system);
    return allPlayed ? 0 : 1;
}
