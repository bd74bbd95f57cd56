#pragma once
// Fixed facts of layer III that depend on the sample rate: where the scalefactor bands start.
#include <cstdint>

#include "mpeg/mpeg.h"

namespace mpeg {

struct BandLayout {
    int16_t longStart[23];   // first line of each of the 22 long bands, then 576
    int16_t shortStart[14];  // first line (within one window) of each of the 13 short bands, then 192
};

// Layout for the frame's sample rate (nine rates across MPEG-1, 2 and 2.5).
const BandLayout& BandLayoutFor(const FrameHeader& header);

// Extra scalefactor amplification of the long bands when the preflag is set.
extern const uint8_t kPretab[22];

}  // namespace mpeg
