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
// on (0: full at once), and the rate moves the position before the wave is read; its
// ramps start from 0, its square is symmetric. IT: the depth grows by `vibratoSweep` 1/256
// steps each tick up to the full depth (0: it never grows, so there is no vibrato); its
// ramp down starts at the top, its square is one-sided. Every sine starts upwards.
// Checked against libopenmpt: XM depth 15 swings +-15/64 semitone, IT depth 32 +-1/2.
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
