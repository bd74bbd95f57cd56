// Renders a minute of a dense song, all 16 channels busy (chords, fast notes, drums, bends
// and controller sweeps), and prints how many times faster than real time it ran, with the
// built-in instruments or a bank named on the command line.
#include <algorithm>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "midi/bank.h"
#include "midi/sequencer.h"
#include "midi/song.h"
#include "midi/synth.h"

namespace {

constexpr double kSeconds = 60;
constexpr double kStep = 60.0 / 140 / 2;  // eighths at 140 per minute

midi::Song DenseSong() {
    midi::Song song;
    auto add = [&](double t, uint8_t s, uint8_t a, uint8_t b) { song.events.push_back({t, s, a, b}); };
    for (int c = 0; c < 16; ++c) add(0, uint8_t(0xC0 | c), uint8_t(c * 8 + 1), 0);
    int step = 0;
    for (double t = 0; t < kSeconds; t += kStep, ++step) {
        for (int c = 0; c < 16; ++c) {
            if (c == 9) {
                for (int drum : {36, 42, step % 2 ? 38 : 46}) {
                    add(t, 0x99, uint8_t(drum), 100);
                    add(t + kStep * 0.9, 0x89, uint8_t(drum), 0);
                }
                continue;
            }
            const int notes = c < 4 ? 3 : 1;  // chords on the first channels
            for (int n = 0; n < notes; ++n) {
                const uint8_t key = uint8_t(36 + (c * 5 + step * 7 + n * 4) % 60);
                add(t, uint8_t(0x90 | c), key, uint8_t(60 + (step * 13 + c) % 60));
                add(t + kStep * (c % 3 + 1) * 0.9, uint8_t(0x80 | c), key, 0);
            }
            add(t, uint8_t(0xB0 | c), 11, uint8_t(64 + (step * 3 + c) % 64));
            add(t, uint8_t(0xE0 | c), 0, uint8_t(64 + (step + c) % 8 - 4));
        }
    }
    std::stable_sort(song.events.begin(), song.events.end(),
                     [](const midi::Event& a, const midi::Event& b) { return a.seconds < b.seconds; });
    song.lastEventSeconds = song.events.back().seconds;
    return song;
}

}  // namespace

std::vector<uint8_t> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int main(int argc, char** argv) {
    midi::Bank bank = midi::BuiltInBank();
    midi::Song song = DenseSong();
    // Arguments: a sound bank (.sf2, .dls) and a MIDI file to play instead of the dense song.
    for (int i = 1; i < argc; ++i) {
        const std::vector<uint8_t> bytes = ReadFile(argv[i]);
        if (midi::ReadBank(bytes.data(), bytes.size(), bank) != midi::BankResult::Ok &&
            midi::ReadSong(bytes.data(), bytes.size(), song) != midi::Result::Ok) {
            std::fprintf(stderr, "%s: neither a sound bank nor a MIDI file we read\n", argv[i]);
            return 1;
        }
    }
    midi::Synth synth(bank, {44100, true});
    midi::Sequencer sequencer(song, synth, 44100);
    std::vector<float> out(2 * 4096);
    uint64_t frames = 0, voiceFrames = 0;
    // Processor time of this process (the figure for one core, whatever else the machine
    // runs), counted for the rendering only: the output is checked between the blocks, so that
    // a faster synthesizer is not a broken one.
    std::clock_t ticks = 0;
    float peak = 0;
    bool finite = true;
    for (;;) {
        const std::clock_t start = std::clock();
        const size_t n = sequencer.Render(out.data(), 4096);
        ticks += std::clock() - start;
        if (n == 0) break;
        frames += n;
        voiceFrames += uint64_t(synth.ActiveVoices()) * n;
        for (size_t i = 0; i < 2 * n; ++i) finite = finite && std::isfinite(out[i]), peak = std::max(peak, std::fabs(out[i]));
    }
    const double elapsed = double(ticks) / CLOCKS_PER_SEC;
    const double audio = double(frames) / 44100;
    std::printf("%s: %zu events, %.1f s of audio in %.3f s of processor time: %.0fx real time, %.1f voices on average\n",
                argc > 1 ? argv[argc - 1] : "dense song, built-in instruments", song.events.size(), audio, elapsed, audio / elapsed,
                double(voiceFrames) / double(frames));
    std::printf("output: peak %.3f%s\n", peak, finite ? "" : ", NOT FINITE");
    if (!finite || peak < 0.01f) {
        std::fprintf(stderr, "the rendering is broken: peak %.3f, finite %d\n", peak, int(finite));
        return 1;
    }
    return 0;
}
