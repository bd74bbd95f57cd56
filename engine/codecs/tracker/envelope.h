#pragma once
// Playing an instrument's volume, panning or pitch/filter envelope, one call per tick.
//
//   EnvelopeState state;                        // on a new note (unless IT's carry keeps it)
//   each tick: float v = EnvelopeTick(env, state, keyOn, module.type);
//   volume: v is 0..64; panning: -32..32; pitch: EnvelopePitchSemitones(v);
//   filter: ComputeFilter(EnvelopeFilterCutoff(cutoff, v), ...)
//   IT, volume envelope: ItVolumeEnvelopeEnd(env, state) says when the note fades or is cut.
//   XM Lxx: EnvelopeSetTick(state, xx).
//
// XM plays as FT2 does: the value at the tick, then the next tick; the sustain point holds
// while the key is on; reaching the loop end's tick jumps to the loop start's, except when
// the loop end is also the sustain point and the key is off (the loop then releases too).
// IT: the loop end's tick plays, then the loop start's; the sustain loop runs instead of
// the loop while the key is on and is left where it is at the note off. Both checked tick
// by tick against libopenmpt's rendering of probe modules.
#include <cstdint>

#include "tracker/module.h"

namespace tracker {

struct EnvelopeState {
    int tick = 0;         // the next tick to play
    bool finished = false;  // past the last point (and no loop holds it)
};

// The envelope's value at the state's tick, then the tick moves on. A disabled or empty
// envelope gives `neutral`: 64 for volume, 0 for panning and pitch.
float EnvelopeTick(const Envelope& envelope, EnvelopeState& state, bool keyOn, ModuleType type, float neutral);

// Value at a tick, between the points (the last point's value past it).
float EnvelopeValueAt(const Envelope& envelope, int tick);

void EnvelopeSetTick(EnvelopeState& state, int tick);

enum class EnvelopeEnd { Playing, Fade, Cut };

// IT: once the volume envelope has played its last point, the note fades out; when that
// point is 0 the note is silent for good and can be cut.
EnvelopeEnd ItVolumeEnvelopeEnd(const Envelope& envelope, const EnvelopeState& state);

// IT's pitch envelope: -32..32 is -16..16 semitones.
float EnvelopePitchSemitones(float value);

// IT's filter envelope scales the cutoff: -32 closes it, 32 leaves it as set.
int EnvelopeFilterCutoff(int cutoff, float value);

}  // namespace tracker
