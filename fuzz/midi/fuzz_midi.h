#pragma once
// What the MIDI fuzzers share: songs played briefly with a seek the input picks; banks played.
#include <algorithm>
#include <cmath>
#include <vector>

#include "midi/bank.h"
#include "midi/sequencer.h"
#include "midi/song.h"
#include "midi/synth.h"

inline void TrapUnlessFinite(const std::vector<float>& out) {
    for (float x : out)
        if (!std::isfinite(x)) __builtin_trap();
}

// Songs may last hours; a fuzzed file's events mostly fall in the first quarter second. The
// effects do not depend on the input and would take most of the time.
inline void PlaySong(const midi::Song& song, const midi::Bank& bank, uint8_t seekByte) {
    midi::Synth synth(bank, {44100, false});
    midi::Sequencer sequencer(song, synth, 44100);
    std::vector<float> out(2 * 4096);
    for (int block = 0; block < 3 && sequencer.Render(out.data(), 4096) > 0; ++block) TrapUnlessFinite(out);
    sequencer.Seek(sequencer.LengthFrames() / 256 * seekByte);
    sequencer.Render(out.data(), 1024);
    if (synth.ActiveVoices() > midi::kMaxVoices) __builtin_trap();
}

// Every region inside the samples; the first presets' chords on their channel, bent and cut.
inline void PlayBank(const midi::Bank& bank) {
    for (const midi::Preset& p : bank.presets)
        for (const midi::Region& r : p.regions)
            if (r.end + midi::kSampleGuard > bank.pcm.size() || r.start > r.end || (r.loops && r.loopEnd > r.end))
                __builtin_trap();
    midi::Synth synth(bank, {44100, false});
    std::vector<float> out(2 * 2048);
    for (size_t i = 0; i < std::min<size_t>(bank.presets.size(), 8); ++i) {
        const uint8_t channel = bank.presets[i].bank == midi::kDrumBank ? 0x09 : 0x00;
        synth.Send(uint8_t(0xC0 | channel), uint8_t(bank.presets[i].program), 0);
        for (uint8_t key : {36, 60, 61, 96}) synth.Send(uint8_t(0x90 | channel), key, 100);
        synth.Send(0xE0, 0x7F, 0x7F);
        synth.Render(out.data(), 2048);
        synth.Send(0xB0, 123, 0);
        synth.Render(out.data(), 2048);
        TrapUnlessFinite(out);
    }
}

inline const midi::Bank& BuiltInForFuzzing() {
    static const midi::Bank bank = midi::BuiltInBank();
    return bank;
}
