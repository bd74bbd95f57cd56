#pragma once
// Layer III scalefactors (part 2 of each granule and channel).
#include <cstdint>

#include "bit_reader.h"
#include "layer3_side_info.h"

namespace mpeg {

struct Scalefactors {
    uint8_t longBands[22] = {};      // the last band has none and stays 0
    uint8_t shortBands[13][3] = {};  // [band][window]; the last band stays 0
};

// MPEG-1. `sf` holds granule 0's values when granule 1 is read, for the groups that scfsi
// tells to take over.
void ReadScalefactorsMpeg1(BitReader& bits, const GranuleChannel& g, const int scfsi[4], int granule,
                           Scalefactors& sf);

// MPEG-2 and 2.5. May set g.preflag. `intensityRight` is the right channel of a frame with
// intensity stereo, whose scalefactors are coded differently.
void ReadScalefactorsMpeg2(BitReader& bits, GranuleChannel& g, bool intensityRight, Scalefactors& sf);

}  // namespace mpeg
