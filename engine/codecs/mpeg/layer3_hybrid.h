#pragma once
// Layer III from spectrum to subband samples: short-block reordering, alias reduction,
// the inverse transforms with their windows, overlap-add and frequency inversion.
#include "layer3_side_info.h"
#include "layer3_tables.h"

namespace mpeg {

// xr: 576 lines, of which the first `nonzeroEnd` may be nonzero (it is modified).
// out: 18 time slots of 32 subband samples, out[subband * 18 + slot].
void SpectrumToSubbands(const GranuleChannel& g, const BandLayout& layout, float* xr, int nonzeroEnd,
                        float overlap[32][18], float* out);

}  // namespace mpeg
