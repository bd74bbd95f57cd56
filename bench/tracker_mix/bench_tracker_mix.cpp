// Mixes 32 voices at 48 kHz in blocks of one tick and prints voice-frames per second for
// each interpolation. The voices are those of a 32-channel MOD written here: 8 looped
// 8-bit samples at Amiga periods from 856 down to 113, one note per channel; libopenmpt
// renders that module at the same rate and filter length, so the ratio compares our mixer
// with its whole render (its pattern work is a few rows a second, next to nothing).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "voice_mixer.h"

#ifdef BENCH_WITH_OPENMPT
#include <libopenmpt/libopenmpt.hpp>
#endif

namespace {

constexpr uint32_t kRate = 48000;
constexpr size_t kTickFrames = 960;  // 125 BPM
constexpr int kVoices = 32;
constexpr int kSamples = 8;
constexpr uint32_t kSampleBytes = 8000;
constexpr double kPalClock = 7093789.2;

int8_t SampleByte(int sample, uint32_t i) {
    return int8_t(std::lround(100 * std::sin(i * (0.05 + 0.01 * sample)) + 20 * std::sin(i * 0.9)));
}

int PeriodOf(int channel) {
    return 856 - (856 - 113) * channel / (kVoices - 1);
}

std::vector<tracker::Sample> MakeSamples() {
    std::vector<tracker::Sample> samples(kSamples);
    for (int s = 0; s < kSamples; ++s) {
        samples[s].frames = kSampleBytes;
        for (uint32_t i = 0; i < kSampleBytes; ++i) samples[s].pcm.push_back(SampleByte(s, i) / 128.0f);
        samples[s].loop = {tracker::LoopType::Forward, 0, kSampleBytes};
    }
    return samples;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double MixOurs(tracker::Interpolation interpolation, double seconds, const std::vector<tracker::Sample>& samples) {
    std::vector<tracker::Voice> voices(kVoices);
    for (int v = 0; v < kVoices; ++v) {
        voices[v].sample = &samples[v % kSamples];
        voices[v].active = true;
        voices[v].increment = kPalClock / (2.0 * PeriodOf(v)) / kRate;
        voices[v].left = voices[v].targetLeft = v % 2 ? 0.2f : 0.05f;
        voices[v].right = voices[v].targetRight = v % 2 ? 0.05f : 0.2f;
    }
    std::vector<float> buffer(2 * kTickFrames);
    const size_t ticks = size_t(seconds * kRate / kTickFrames);
    const auto start = std::chrono::steady_clock::now();
    for (size_t t = 0; t < ticks; ++t) {
        std::fill(buffer.begin(), buffer.end(), 0.0f);
        for (tracker::Voice& voice : voices) {
            voice.targetLeft = 0.05f + 0.02f * float(t % 5);  // a slide's new volume each tick
            voice.rampFrames = tracker::DefaultRampFrames(kRate);
            tracker::MixVoice(voice, interpolation, buffer.data(), kTickFrames);
        }
    }
    return Seconds(std::chrono::steady_clock::now() - start);
}

#ifdef BENCH_WITH_OPENMPT
void PutBigEndian16(std::vector<char>& file, size_t at, int value) {
    file[at] = char(value >> 8);
    file[at + 1] = char(value & 0xFF);
}

// A "32CH" MOD: one pattern in which every channel starts a looped sample on the first row.
std::vector<char> MakeModule() {
    const size_t header = 1084, pattern = 64 * kVoices * 4;
    std::vector<char> file(header + pattern + kSamples * kSampleBytes, 0);
    for (int s = 0; s < kSamples; ++s) {
        const size_t at = 20 + 30 * s;
        PutBigEndian16(file, at + 22, kSampleBytes / 2);
        file[at + 25] = 64;                            // volume
        PutBigEndian16(file, at + 28, kSampleBytes / 2);  // loop over the whole sample
    }
    file[950] = 1;    // song length
    file[951] = 127;
    std::memcpy(&file[1080], "32CH", 4);
    for (int c = 0; c < kVoices; ++c) {
        char* cell = &file[header + 4 * c];
        const int sample = c % kSamples + 1, period = PeriodOf(c);
        cell[0] = char((sample & 0xF0) | (period >> 8));
        cell[1] = char(period & 0xFF);
        cell[2] = char((sample & 0x0F) << 4);
    }
    for (int s = 0; s < kSamples; ++s)
        for (uint32_t i = 0; i < kSampleBytes; ++i) file[header + pattern + s * kSampleBytes + i] = char(SampleByte(s, i));
    return file;
}

double RenderOpenmpt(int filterLength, double seconds, const std::vector<char>& module) {
    openmpt::module player(module);
    player.set_repeat_count(-1);
    player.set_render_param(openmpt::module::RENDER_INTERPOLATIONFILTER_LENGTH, filterLength);
    std::vector<float> buffer(2 * kTickFrames);
    const size_t blocks = size_t(seconds * kRate / kTickFrames);
    const auto start = std::chrono::steady_clock::now();
    for (size_t b = 0; b < blocks; ++b) player.read_interleaved_stereo(kRate, kTickFrames, buffer.data());
    const double elapsed = Seconds(std::chrono::steady_clock::now() - start);
    // A module that stopped or lost voices would flatter the other side.
    if (player.get_current_playing_channels() != kVoices) std::printf("(libopenmpt plays %d voices) ", player.get_current_playing_channels());
    return elapsed;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    double seconds = 20;  // of music per interpolation, side and run
    int runs = 5;         // the quickest run counts: the machine is shared
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
    }
    const std::vector<tracker::Sample> samples = MakeSamples();
    const struct {
        const char* name;
        tracker::Interpolation interpolation;
        int filterLength;  // libopenmpt's setting for the same kind
    } kinds[] = {{"nearest", tracker::Interpolation::Nearest, 1},
                 {"linear", tracker::Interpolation::Linear, 2},
                 {"cubic", tracker::Interpolation::Cubic, 4},
                 {"sinc8", tracker::Interpolation::Sinc8, 8}};
    const double voiceFrames = seconds * kRate * kVoices;
    for (const auto& kind : kinds) {
        double ours = 1e300, reference = 1e300;
        for (int run = 0; run < runs; ++run) {
            ours = std::min(ours, MixOurs(kind.interpolation, seconds, samples));
#ifdef BENCH_WITH_OPENMPT
            reference = std::min(reference, RenderOpenmpt(kind.filterLength, seconds, MakeModule()));
#endif
        }
        std::printf("%-8s ours %7.1f M voice-frames/s (%5.0fx real time, %d voices)", kind.name,
                    voiceFrames / ours / 1e6, seconds / ours, kVoices);
#ifdef BENCH_WITH_OPENMPT
        std::printf("   libopenmpt %7.1f M (%5.0fx)   ratio %.2f", voiceFrames / reference / 1e6, seconds / reference,
                    reference / ours);
#endif
        std::printf("\n");
    }
    return 0;
}
