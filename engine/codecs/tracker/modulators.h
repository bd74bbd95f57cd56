#pragma once
// The player's slow modulators: vibrato/tremolo/panbrello waveforms, instrument envelopes
// walked tick by tick, and sample auto-vibrato.
#include <cstdint>

#include "channel.h"

namespace tracker {

// Waveform value -255..255 at `position` 0..255 (a whole cycle). `wave` as the effects
// number it: 0 sine, 1 ramp down, 2 square, 3 random.
int LfoValue(int wave, int position, uint32_t& randomSeed);

// The envelope's value at the cursor: volume 0..64, others -32..32 (scaled by 256).
int EnvelopeValue256(const Envelope& envelope, const EnvelopeCursor& cursor);

// One tick on; `keyOn` holds the sustain loop. `itStyle` decides whether the loop end
// point is played (IT) or jumps straight back (XM).
void AdvanceEnvelope(const Envelope& envelope, EnvelopeCursor& cursor, bool keyOn, bool itStyle);

// Auto-vibrato of the voice's sample this tick, in linear units (1/64 semitone).
double AutoVibratoLinear(PlayingVoice& voice, const Sample& sample, bool xmStyle, uint32_t& randomSeed);

}  // namespace tracker
