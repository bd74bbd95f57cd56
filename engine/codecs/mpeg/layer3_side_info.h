#pragma once
// Layer III side information: how each granule and channel is coded.
#include "bit_reader.h"
#include "mpeg/mpeg.h"

namespace mpeg {

struct GranuleChannel {
    int part23Length = 0;  // bits of scalefactors plus spectrum
    int bigValues = 0;     // pairs coded with the big-value tables
    int globalGain = 0;
    int scalefacCompress = 0;
    int blockType = 0;     // 0 normal, 1 start, 2 short, 3 stop
    bool mixedBlock = false;
    int tableSelect[3] = {};
    int subblockGain[3] = {};
    int region1Start = 0;  // first line of region 1 and region 2
    int region2Start = 0;
    bool preflag = false;
    int scalefacScale = 0;
    int count1Table = 0;

    bool IsShort() const { return blockType == 2; }
};

struct SideInfo {
    int mainDataBegin = 0;  // bytes back into the reservoir
    int granules = 0;       // 2 for MPEG-1, 1 otherwise
    int scfsi[2][4] = {};   // MPEG-1: scalefactor groups taken over from granule 0
    GranuleChannel gr[2][2];
};

// Side information bytes that follow the header (and CRC).
int SideInfoBytes(const FrameHeader& header);

// False when the side information breaks the format's rules.
bool ReadSideInfo(BitReader& bits, const FrameHeader& header, SideInfo& out);

}  // namespace mpeg
