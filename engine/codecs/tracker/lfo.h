#pragma once
// The waveforms of vibrato, tremolo and panbrello, as each family of trackers tables them.
//
// MOD and XM: a 64-step cycle (the effect adds its speed to a 6-bit position each tick);
// the sine is the trackers' 32-entry half-wave table 0..255, mirrored with a sign, so the
// values run -255..255. The effect scales it: MOD/XM vibrato (value * depth) / 128 period
// units, tremolo (value * depth) / 64 volume steps.
//   int delta = ModLfoValue(wave, position & 63);
//
// S3M and IT: a 256-step cycle (speed * 4 per tick for vibrato, as those trackers step
// their finer table), values -64..64 from a 256-entry fine sine. IT's square wave is
// one-sided (64, then 0). S3M is played with the same tables.
//   int delta = ItLfoValue(wave, position & 255);
//
// Random is a new value per call from the caller's seed (`random` is updated).
#include <cstdint>

#include "tracker/module.h"

namespace tracker {

int ModLfoValue(VibratoWave wave, int position, uint32_t& random);
int ItLfoValue(VibratoWave wave, int position, uint32_t& random);

// The 32 rising and falling steps of the MOD/XM half sine (0..255), and IT's fine sine
// (-64..64, 256 steps): for callers that index the tables themselves.
extern const uint8_t kModHalfSine[32];
int ItFineSine(int position);

}  // namespace tracker
