#pragma once
#include <cstdint>

// One volume change: step 1 up by 5 (up to 100), -1 down by 5 (down to 0), 2 mute toggle,
// 0 nothing. A mute remembers the volume in `saved`; unmuting brings it back.
void StepVolume(int32_t step, int32_t& volume, int32_t& saved);

// The channel volume for a volume in percent, scaled by the track's replay gain, in single
// precision. Values above 1.0 are passed on unchanged.
float ChannelVolume(float replayGainFactor, int32_t volume);
