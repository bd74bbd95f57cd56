// The cost of playing an audio CD, without the drive: a 20-minute disc image in memory
// (four audio tracks and a data track) decoded through the CD stream in the engine
// decode thread's chunks, as x real time on one core (thread CPU time, best of 5).
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "formats/cdda_decoder.h"

using namespace engine;

namespace {

struct MemoryDisc : CdDevice {
    std::vector<CdTrack> tracks{{1, 0, 22500, true}, {2, 22500, 22500, true}, {3, 45000, 1000, false},
                                {4, 46000, 22500, true}, {5, 68500, 22500, true}};
    std::vector<uint8_t> sectors = std::vector<uint8_t>(91000 * kCdSectorBytes);
    MemoryDisc() {
        for (size_t i = 0; i < sectors.size(); ++i) sectors[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    }
    CdStatus ReadToc(std::vector<CdTrack>* out) override {
        *out = tracks;
        return CdStatus::kOk;
    }
    CdStatus ReadAudio(uint32_t sector, uint32_t count, uint8_t* out) override {
        std::memcpy(out, &sectors[sector * kCdSectorBytes], count * kCdSectorBytes);
        return CdStatus::kOk;
    }
    bool ReadCdText(std::vector<uint8_t>*) override { return false; }
};

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

}  // namespace

int main() {
    double best = 1e9, sum = 0;
    uint64_t frames = 0;
    std::vector<float> chunk(4096 * 2);
    for (int run = 0; run < 5; ++run) {
        OpenedSound opened;
        if (OpenCdda(std::make_unique<MemoryDisc>(), std::make_shared<TagList>(), opened) != FMOD_OK) return 1;
        const double start = ThreadSeconds();
        frames = 0;
        for (int64_t got; (got = opened.decoder->ReadFrames(chunk.data(), 4096)) > 0;) {
            frames += static_cast<uint64_t>(got);
            sum += chunk[0];
        }
        best = std::min(best, ThreadSeconds() - start);
        if (frames != opened.format.lengthFrames) return 1;
    }
    const double seconds = frames / 44100.0;
    std::printf("audio CD from a disc image: %.0f s of audio in %.1f ms (best of 5): %.0fx real time (checksum %.3f)\n",
                seconds, best * 1000, seconds / best, sum);
    return 0;
}
