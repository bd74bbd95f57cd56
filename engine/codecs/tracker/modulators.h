#pragma once
// The vibrato, tremolo and panbrello waveforms as the effects number them.
#include <cstdint>

#include "channel.h"

namespace tracker {

// Waveform value -255..255 at `position` 0..255 (a whole cycle). `wave` as the effects
// number it: 0 sine, 1 ramp down, 2 square, 3 random.
int LfoValue(int wave, int position, uint32_t& randomSeed);

}  // namespace tracker
