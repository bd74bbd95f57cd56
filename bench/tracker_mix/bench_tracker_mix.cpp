// Mixes 32 voices the way a busy module plays them (looped and one-shot, mono and stereo,
// forward and ping-pong, pitches from two octaves down to one up, some filtered) into a
// 48 kHz buffer in blocks of one tick, and prints voice-frames per second for each
// interpolation. The output is summed so no work can be left out.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "voice_mixer.h"

namespace {

constexpr uint32_t kRate = 48000;
constexpr size_t kTickFrames = 960;  // 125 BPM at 48 kHz
constexpr int kVoices = 32;

std::vector<tracker::Sample> MakeSamples() {
    std::vector<tracker::Sample> samples(8);
    for (size_t s = 0; s < samples.size(); ++s) {
        tracker::Sample& sample = samples[s];
        sample.channels = s % 4 == 3 ? 2 : 1;
        sample.frames = 2000 + uint32_t(s) * 3001;
        sample.pcm.resize(size_t(sample.frames) * sample.channels);
        for (size_t i = 0; i < sample.pcm.size(); ++i) sample.pcm[i] = float(std::sin(i * (0.01 + 0.003 * s)));
        const tracker::LoopType types[] = {tracker::LoopType::Forward, tracker::LoopType::PingPong, tracker::LoopType::None};
        sample.loop = {types[s % 3], sample.frames / 3, sample.frames};
        if (s % 3 == 2) sample.loop = {};
    }
    return samples;
}

void StartVoices(std::vector<tracker::Voice>& voices, const std::vector<tracker::Sample>& samples) {
    for (int v = 0; v < kVoices; ++v) {
        tracker::Voice& voice = voices[v];
        voice = {};
        voice.sample = &samples[v % samples.size()];
        voice.active = true;
        voice.increment = 0.25 * std::pow(2.0, (v % 12) / 4.0);  // 0.25 .. 1.7
        voice.left = voice.targetLeft = 0.3f;
        voice.right = voice.targetRight = 0.2f;
        if (v % 8 == 5) tracker::ComputeFilter(70, 40, kRate, voice.filter);
    }
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 60;  // of music per interpolation
    if (argc == 3 && std::strcmp(argv[1], "--seconds") == 0) seconds = std::atof(argv[2]);
    const std::vector<tracker::Sample> samples = MakeSamples();
    std::vector<tracker::Voice> voices(kVoices);
    std::vector<float> buffer(2 * kTickFrames);
    const struct {
        const char* name;
        tracker::Interpolation interpolation;
    } kinds[] = {{"nearest", tracker::Interpolation::Nearest},
                 {"linear", tracker::Interpolation::Linear},
                 {"cubic", tracker::Interpolation::Cubic},
                 {"sinc8", tracker::Interpolation::Sinc8}};
    const size_t ticks = size_t(seconds * kRate / kTickFrames);
    for (const auto& kind : kinds) {
        StartVoices(voices, samples);
        double sum = 0;
        uint64_t voiceFrames = 0;
        const auto start = std::chrono::steady_clock::now();
        for (size_t t = 0; t < ticks; ++t) {
            std::fill(buffer.begin(), buffer.end(), 0.0f);
            for (tracker::Voice& voice : voices) {
                if (!voice.active) {  // a one-shot ended: play it again, as a new note would
                    voice.active = true;
                    voice.position = 0;
                }
                // A volume change every tick, as slides do.
                voice.targetLeft = 0.1f + 0.2f * float(t % 7) / 7;
                voice.rampFrames = tracker::DefaultRampFrames(kRate);
                tracker::MixVoice(voice, kind.interpolation, buffer.data(), kTickFrames);
                voiceFrames += kTickFrames;
            }
            sum += buffer[t % buffer.size()];
        }
        const double elapsed = Seconds(std::chrono::steady_clock::now() - start);
        std::printf("%-8s %7.1f M voice-frames/s  (%5.0fx real time for %d voices)  [%g]\n", kind.name,
                    voiceFrames / elapsed / 1e6, seconds / elapsed, kVoices, sum);
    }
    return 0;
}
