#include "layer3_side_info.h"

#include "layer3_tables.h"

namespace mpeg {

int SideInfoBytes(const FrameHeader& header) {
    if (header.version == Version::Mpeg1) return header.channels == 1 ? 17 : 32;
    return header.channels == 1 ? 9 : 17;
}

bool ReadSideInfo(BitReader& bits, const FrameHeader& header, SideInfo& out) {
    const bool mpeg1 = header.version == Version::Mpeg1;
    const int channels = header.channels;
    const BandLayout& layout = BandLayoutFor(header);
    bool valid = true;

    out = SideInfo{};
    out.granules = mpeg1 ? 2 : 1;
    out.mainDataBegin = static_cast<int>(bits.Read(mpeg1 ? 9 : 8));
    bits.Skip(mpeg1 ? (channels == 1 ? 5 : 3) : (channels == 1 ? 1 : 2));
    if (mpeg1)
        for (int ch = 0; ch < channels; ++ch)
            for (int group = 0; group < 4; ++group) out.scfsi[ch][group] = static_cast<int>(bits.Read(1));

    for (int gr = 0; gr < out.granules; ++gr) {
        for (int ch = 0; ch < channels; ++ch) {
            GranuleChannel& g = out.gr[gr][ch];
            g.part23Length = static_cast<int>(bits.Read(12));
            g.bigValues = static_cast<int>(bits.Read(9));
            g.globalGain = static_cast<int>(bits.Read(8));
            g.scalefacCompress = static_cast<int>(bits.Read(mpeg1 ? 4 : 9));
            if (g.bigValues > 288) {
                g.bigValues = 288;
                valid = false;
            }
            const bool windowSwitching = bits.ReadBit();
            if (windowSwitching) {
                g.blockType = static_cast<int>(bits.Read(2));
                g.mixedBlock = bits.ReadBit();
                for (int i = 0; i < 2; ++i) g.tableSelect[i] = static_cast<int>(bits.Read(5));
                for (int i = 0; i < 3; ++i) g.subblockGain[i] = static_cast<int>(bits.Read(3));
                if (g.blockType == 0) {
                    g.blockType = 1;  // forbidden; a start block is the closest reading
                    valid = false;
                }
                g.region1Start = (g.IsShort() && !g.mixedBlock) ? layout.shortStart[3] * 3 : layout.longStart[8];
                g.region2Start = 576;
            } else {
                for (int i = 0; i < 3; ++i) g.tableSelect[i] = static_cast<int>(bits.Read(5));
                const int region0 = static_cast<int>(bits.Read(4));
                const int region1 = static_cast<int>(bits.Read(3));
                g.region1Start = layout.longStart[region0 + 1];
                const int end = region0 + region1 + 2;
                g.region2Start = layout.longStart[end > 22 ? 22 : end];
            }
            if (mpeg1) g.preflag = bits.ReadBit();
            g.scalefacScale = static_cast<int>(bits.Read(1));
            g.count1Table = static_cast<int>(bits.Read(1));

            const int bigLines = g.bigValues * 2;
            if (g.region1Start > bigLines) g.region1Start = bigLines;
            if (g.region2Start > bigLines) g.region2Start = bigLines;
            if (g.region1Start > g.region2Start) g.region1Start = g.region2Start;
        }
    }
    return valid;
}

}  // namespace mpeg
