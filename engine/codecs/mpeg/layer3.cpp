// Layer III frame: side information, the bit reservoir, and per granule the scalefactors,
// spectrum, joint stereo and the hybrid filter bank.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "layer3_huffman.h"
#include "layer3_hybrid.h"
#include "layer3_scalefactors.h"
#include "layer3_side_info.h"
#include "layer3_stereo.h"
#include "layer3_tables.h"
#include "layers.h"

namespace mpeg {
namespace {

constexpr int kMaxMainDataBegin = 511;
constexpr int kMaxFrameBytes = 4096;  // decoder.cpp never passes more

// 2^(q / 4) for the quarter steps q that gains can reach.
constexpr int kLowestQuarter = -480;
struct QuarterPowers {
    float values[560];
    QuarterPowers() {
        for (int i = 0; i < 560; ++i) values[i] = static_cast<float>(std::exp2((i + kLowestQuarter) / 4.0));
    }
};

float QuarterPower(int q) {
    static const QuarterPowers powers;
    int index = q - kLowestQuarter;
    if (index < 0) index = 0;
    if (index > 559) index = 559;
    return powers.values[index];
}

int BuildGainRuns(const GranuleChannel& g, const Scalefactors& sf, const BandLayout& layout, GainRun* runs) {
    const int base = g.globalGain - 210;
    const int shift = 2 * (1 + g.scalefacScale);  // quarter steps per scalefactor step
    int count = 0;
    int longEnd = 22;
    int firstShort = 13;
    if (g.IsShort()) {
        longEnd = 0;
        firstShort = 0;
        if (g.mixedBlock) {
            while (layout.longStart[longEnd] < 36) ++longEnd;
            firstShort = 3;
        }
    }
    for (int b = 0; b < longEnd; ++b) {
        const int boost = g.preflag ? kPretab[b] : 0;
        runs[count++] = {layout.longStart[b + 1], QuarterPower(base - shift * (sf.longBands[b] + boost))};
    }
    for (int b = firstShort; b < 13; ++b) {
        const int start = layout.shortStart[b];
        const int width = layout.shortStart[b + 1] - start;
        for (int w = 0; w < 3; ++w) {
            const int q = base - 8 * g.subblockGain[w] - shift * sf.shortBands[b][w];
            runs[count++] = {3 * start + (w + 1) * width, QuarterPower(q)};
        }
    }
    runs[count - 1].end = 576;
    runs[count++] = {1 << 30, 0.0f};  // guard: lines past 576 never look further
    return count;
}

void KeepInReservoir(Layer3State& state, const uint8_t* data, int bytes) {
    if (bytes >= kMaxMainDataBegin) {
        std::memcpy(state.reservoir, data + bytes - kMaxMainDataBegin, kMaxMainDataBegin);
        state.reservoirBytes = kMaxMainDataBegin;
        return;
    }
    const int keep = std::min(state.reservoirBytes, kMaxMainDataBegin - bytes);
    std::memmove(state.reservoir, state.reservoir + state.reservoirBytes - keep, static_cast<size_t>(keep));
    std::memcpy(state.reservoir + keep, data, static_cast<size_t>(bytes));
    state.reservoirBytes = keep + bytes;
}

}  // namespace

void ResetLayer3(Layer3State& state) {
    state.reservoirBytes = 0;
    std::memset(state.overlap, 0, sizeof(state.overlap));
}

bool DecodeLayer3(Layer3State& state, const FrameHeader& header, const uint8_t* frame, int frameBytes,
                  SynthesisState* synthesis, float* pcm) {
    const int channels = header.channels;
    const int sideStart = HeaderBytes(header);
    const int sideBytes = SideInfoBytes(header);
    const bool mpeg1 = header.version == Version::Mpeg1;
    const BandLayout& layout = BandLayoutFor(header);

    SideInfo side;
    bool valid = frameBytes >= sideStart + sideBytes && frameBytes <= kMaxFrameBytes;
    int mainBytes = 0;
    if (valid) {
        BitReader sideBits(frame + sideStart, static_cast<size_t>(sideBytes));
        valid = ReadSideInfo(sideBits, header, side);
        mainBytes = frameBytes - sideStart - sideBytes;
    } else {
        side.granules = mpeg1 ? 2 : 1;
    }

    // The frame's main data begins mainDataBegin bytes back in the reservoir; without those
    // bytes (after a seek or a gap) the frame decodes as silence.
    uint8_t buffer[kMaxMainDataBegin + kMaxFrameBytes];
    const bool haveData = valid && side.mainDataBegin <= state.reservoirBytes;
    int dataBytes = 0;
    if (haveData) {
        std::memcpy(buffer, state.reservoir + state.reservoirBytes - side.mainDataBegin,
                    static_cast<size_t>(side.mainDataBegin));
        std::memcpy(buffer + side.mainDataBegin, frame + sideStart + sideBytes, static_cast<size_t>(mainBytes));
        dataBytes = side.mainDataBegin + mainBytes;
    }
    if (mainBytes > 0) KeepInReservoir(state, frame + sideStart + sideBytes, mainBytes);

    BitReader bits(buffer, static_cast<size_t>(dataBytes));
    const bool jointStereo = channels == 2 && header.mode == ChannelMode::JointStereo;
    const bool intensity = jointStereo && (header.modeExtension & 1);
    Scalefactors scalefactors[2];
    float xr[2][576];
    float subbands[2][18 * 32];
    for (int gr = 0; gr < side.granules; ++gr) {
        int nonzeroEnd[2] = {0, 0};
        for (int ch = 0; ch < channels; ++ch) {
            GranuleChannel& g = side.gr[gr][ch];
            if (!haveData) {
                std::memset(xr[ch], 0, sizeof(xr[ch]));
                continue;
            }
            const size_t end = bits.BitPosition() + static_cast<size_t>(g.part23Length);
            if (mpeg1)
                ReadScalefactorsMpeg1(bits, g, side.scfsi[ch], gr, scalefactors[ch]);
            else
                ReadScalefactorsMpeg2(bits, g, intensity && ch == 1, scalefactors[ch]);
            if (bits.BitPosition() > end) {
                // The scalefactors alone overrun the granule's bits: nothing here can be
                // trusted, so the channel is silent for this granule.
                std::memset(xr[ch], 0, sizeof(xr[ch]));
                valid = false;
            } else {
                GainRun runs[64];
                BuildGainRuns(g, scalefactors[ch], layout, runs);
                nonzeroEnd[ch] = ReadSpectrum(bits, end, g, runs, xr[ch], &valid);
            }
            bits.SetBitPosition(end);
        }
        if (jointStereo && haveData)
            ApplyJointStereo(header, layout, side.gr[gr][1], scalefactors[1], xr[0], xr[1], nonzeroEnd);
        for (int ch = 0; ch < channels; ++ch)
            SpectrumToSubbands(side.gr[gr][ch], layout, xr[ch], nonzeroEnd[ch], state.overlap[ch], subbands[ch]);
        const float* const slots[2] = {subbands[0], subbands[1]};
        SynthesizeSlots(synthesis, channels, slots, 18, 18, pcm + gr * 18 * 32 * channels);
    }
    return valid && haveData && !bits.Overrun();
}

}  // namespace mpeg
