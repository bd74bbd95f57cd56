#pragma once
// The instrument (XM) or sample (IT) auto-vibrato: a pitch offset each tick from the
// sample's wave, depth, rate and sweep.
//
//   AutoVibratoState vib; AutoVibratoStart(sample, vib);   // on a new note
//   each tick: float offset = AutoVibratoTick(sample, vib, keyOn, module.type);
//   the offset is in 1/64 semitones, positive is higher (XM with Amiga frequencies: period
//   units, negated, as FT2 adds them to the period).
//
// XM: the depth grows from 0 to the full depth over `vibratoSweep` ticks while the key is
// on (0: full at once), and the rate moves the position before the wave is read. IT: the
// depth grows by `vibratoSweep` 1/256 steps each tick up to the full depth (0: full at
// once). Both waves begin by raising the pitch; XM's square is symmetric, IT's one-sided.
#include <cstdint>

#include "tracker/module.h"

namespace tracker {

struct AutoVibratoState {
    int position = 0;    // in the wave's 256 steps
    int depth = 0;       // current depth in 1/256 of the sample's depth unit
    int sweepStep = 0;   // XM: depth added per tick while sweeping
    uint32_t random = 1;
};

void AutoVibratoStart(const Sample& sample, AutoVibratoState& state);
float AutoVibratoTick(const Sample& sample, AutoVibratoState& state, bool keyOn, ModuleType type);

}  // namespace tracker
