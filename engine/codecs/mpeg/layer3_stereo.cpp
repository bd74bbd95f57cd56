#include "layer3_stereo.h"

#include <cmath>

namespace mpeg {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct IntensityRatios {
    // Positions above 7 need 4-bit scalefactors, which only short blocks have; they follow
    // the same formula (tan turns negative).
    float mpeg1Left[16], mpeg1Right[16];
    float lsf[2][32];  // [intensity scale][k]: io^k

    IntensityRatios() {
        for (int pos = 0; pos < 16; ++pos) {
            if (pos == 6) {
                mpeg1Left[pos] = 1.0f, mpeg1Right[pos] = 0.0f;
                continue;
            }
            const double k = std::tan(pos * kPi / 12.0);
            mpeg1Left[pos] = static_cast<float>(k / (1.0 + k));
            mpeg1Right[pos] = static_cast<float>(1.0 / (1.0 + k));
        }
        for (int scale = 0; scale < 2; ++scale) {
            const double io = scale ? std::sqrt(0.5) : std::pow(2.0, -0.25);
            for (int k = 0; k < 32; ++k) lsf[scale][k] = static_cast<float>(std::pow(io, k));
        }
    }
};

const IntensityRatios& Ratios() {
    static const IntensityRatios ratios;
    return ratios;
}

struct Context {
    const FrameHeader& header;
    bool midSide;
    int intensityScale;  // MPEG-2 and 2.5
    float* left;
    float* right;
};

void MidSide(const Context& c, int from, int to) {
    if (!c.midSide) return;
    constexpr float kInvSqrt2 = 0.70710678118654752f;
    for (int i = from; i < to; ++i) {
        const float m = c.left[i], s = c.right[i];
        c.left[i] = (m + s) * kInvSqrt2;
        c.right[i] = (m - s) * kInvSqrt2;
    }
}

// Position 7 means "no intensity here" for every version (reference decoders read MPEG-2's
// wider positions the same way).
constexpr int kNoPosition = 7;

// One band whose right channel is coded as a position: falls back to mid/side when there is
// none.
void IntensityBand(const Context& c, int from, int to, int pos) {
    if (pos == kNoPosition) {
        MidSide(c, from, to);
        return;
    }
    const IntensityRatios& r = Ratios();
    float kl, kr;
    if (c.header.version == Version::Mpeg1) {
        kl = r.mpeg1Left[pos], kr = r.mpeg1Right[pos];
    } else {
        const float* powers = r.lsf[c.intensityScale];
        kl = (pos & 1) ? powers[(pos + 1) >> 1] : 1.0f;
        kr = (pos & 1) ? 1.0f : powers[pos >> 1];
    }
    // With mid/side on, a band that still holds side data is read as mid plus side, as
    // decoders that apply mid/side to the whole spectrum first read it. Real streams have
    // no side data in intensity bands, so both readings agree there.
    for (int i = from; i < to; ++i) {
        const float v = c.midSide ? c.left[i] + c.right[i] : c.left[i];
        c.left[i] = v * kl;
        c.right[i] = v * kr;
    }
}

int LastNonzero(const float* xr, int from, int to) {
    for (int i = to - 1; i >= from; --i)
        if (xr[i] != 0.0f) return i;
    return -1;
}

// Long bands below `endBand`, intensity coded from the band after the right channel's last
// nonzero line. The top band has no position of its own and takes band 20's.
void LongBands(const Context& c, const BandLayout& layout, const Scalefactors& sf, int endBand) {
    const int endLine = layout.longStart[endBand];
    const int last = LastNonzero(c.right, 0, endLine);
    int start = 0;
    while (start < endBand && layout.longStart[start] <= last) ++start;
    MidSide(c, 0, layout.longStart[start]);
    for (int b = start; b < endBand; ++b) {
        const int source = b == 21 ? 20 : b;
        IntensityBand(c, layout.longStart[b], layout.longStart[b + 1], sf.longBands[source]);
    }
}

// Short bands from `firstBand`, each window on its own, like the long bands. The top band
// takes band 11's position and, as common decoders have it, is intensity coded even when
// the right channel reaches into it. Returns whether any of them holds a nonzero line in the right
// channel.
bool ShortBands(const Context& c, const BandLayout& layout, const Scalefactors& sf, int firstBand, bool apply) {
    bool anyNonzero = false;
    for (int w = 0; w < 3; ++w) {
        int start = firstBand;
        for (int b = 12; b >= firstBand; --b) {
            const int width = layout.shortStart[b + 1] - layout.shortStart[b];
            const int from = layout.shortStart[b] * 3 + w * width;
            if (LastNonzero(c.right, from, from + width) >= 0) {
                start = b + 1;
                anyNonzero = true;
                break;
            }
        }
        if (!apply) continue;
        for (int b = firstBand; b < 13; ++b) {
            const int width = layout.shortStart[b + 1] - layout.shortStart[b];
            const int from = layout.shortStart[b] * 3 + w * width;
            if (b < start && b < 12) {
                MidSide(c, from, from + width);
                continue;
            }
            const int source = b == 12 ? 11 : b;
            IntensityBand(c, from, from + width, sf.shortBands[source][w]);
        }
    }
    return anyNonzero;
}

}  // namespace

void ApplyJointStereo(const FrameHeader& header, const BandLayout& layout, const GranuleChannel& right,
                      const Scalefactors& rightScalefactors, float* xrLeft, float* xrRight, int nonzeroEnd[2]) {
    const bool midSide = (header.modeExtension & 2) != 0;
    const bool intensity = (header.modeExtension & 1) != 0;
    const int end = nonzeroEnd[0] > nonzeroEnd[1] ? nonzeroEnd[0] : nonzeroEnd[1];
    Context c{header, midSide, right.scalefacCompress & 1, xrLeft, xrRight};
    if (!intensity) {
        MidSide(c, 0, end);
    } else if (!right.IsShort()) {
        LongBands(c, layout, rightScalefactors, 22);
    } else if (!right.mixedBlock) {
        ShortBands(c, layout, rightScalefactors, 0, true);
    } else {
        // Mixed: the long part (below line 36) is intensity coded only when the short part
        // of the right channel is silent.
        int longBands = 0;
        while (layout.longStart[longBands] < 36) ++longBands;
        if (ShortBands(c, layout, rightScalefactors, 3, false)) {
            MidSide(c, 0, 36);
        } else {
            LongBands(c, layout, rightScalefactors, longBands);
        }
        ShortBands(c, layout, rightScalefactors, 3, true);
    }
    // Intensity copies the left channel, so nothing grows past the larger of the two.
    nonzeroEnd[0] = nonzeroEnd[1] = end;
}

}  // namespace mpeg
