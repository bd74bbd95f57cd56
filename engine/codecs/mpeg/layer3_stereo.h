#pragma once
// Layer III joint stereo: mid/side and intensity stereo on the requantised spectra.
#include "layer3_scalefactors.h"
#include "layer3_side_info.h"
#include "layer3_tables.h"
#include "mpeg/mpeg.h"

namespace mpeg {

// Turns the coded pair of spectra into left and right. `nonzeroEnd` holds, per channel, how
// many leading lines may be nonzero, and is updated.
void ApplyJointStereo(const FrameHeader& header, const BandLayout& layout, const GranuleChannel& right,
                      const Scalefactors& rightScalefactors, float* xrLeft, float* xrRight, int nonzeroEnd[2]);

}  // namespace mpeg
