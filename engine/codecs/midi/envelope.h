#pragma once
// The stages of a volume or modulation envelope, advanced a block at a time.
#include "midi/bank.h"

namespace midi {

enum class Stage { Delay, Attack, Hold, Decay, Sustain, Release, Done };

struct EnvelopeState {
    Stage stage = Stage::Delay;
    float time = 0;   // seconds spent in the stage
    float level = 0;  // 0..1; in the attack a linear amplitude, after it the dB scale
    float releaseFrom = 0;
};

// Advances by `seconds`; returns the level afterwards.
float AdvanceEnvelope(EnvelopeState& s, const Envelope& e, float seconds);
void ReleaseEnvelope(EnvelopeState& s);
// The envelope's level as a gain: linear in the attack, 96 dB over 0..1 after it.
float EnvelopeGain(const EnvelopeState& s);

}  // namespace midi
