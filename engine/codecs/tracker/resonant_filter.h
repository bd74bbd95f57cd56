#pragma once
// IT's resonant low-pass, run over one chunk of a voice's interpolated sample data (before
// the gains), each sample channel with its own state. ComputeFilter (voice_mixer.h) sets the
// coefficients.
#include <cstddef>

#include "voice_mixer.h"

namespace tracker {

void ApplyResonantFilter(ResonantFilter& filter, float* const* channels, int channelCount, size_t frames);

}  // namespace tracker
