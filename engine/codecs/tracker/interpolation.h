#pragma once
// How each interpolation weighs the frames around a position (32.32 fixed point). Each
// kernel reads `Taps` frames starting `Before` frames ahead of the position's frame, one
// value every `stride` floats, so the mixer hands it stored data or gathered taps alike.
#include <cstdint>

#include "sinc_table.h"

namespace tracker {

inline constexpr float kFractionScale = 1.0f / 4294967296.0f;

inline float FractionOf(int64_t position) {
    return float(uint32_t(position)) * kFractionScale;
}

struct NearestKernel {
    static constexpr int Before = 0, Taps = 1;
    static float Read(const float* taps, int, int64_t, const float*) { return taps[0]; }
};

struct LinearKernel {
    static constexpr int Before = 0, Taps = 2;
    static float Read(const float* taps, int stride, int64_t position, const float*) {
        const float a = taps[0], b = taps[stride];
        return a + (b - a) * FractionOf(position);
    }
};

// The table phase nearest to the position's fraction: rounding, not truncating, keeps a
// ping-pong loop's backward leg the mirror of its forward one. The tables hold one phase
// more than 2^bits for the fractions that round up to the next frame.
template <int Bits>
uint32_t PhaseOf(int64_t position) {
    return uint32_t((uint64_t(uint32_t(position)) + (uint64_t(1) << (31 - Bits))) >> (32 - Bits));
}

// Catmull-Rom spline through the four frames around the position: exact for constant and
// straight signals, and the cubic of libopenmpt's 4-tap setting (of the cubic convolution
// family its renderings fit this one best; they differ from ours by -50 dB, its weights
// being rounded). The weights come from a table of 4096 phases, which is quicker than the
// polynomial and as exact as 16-bit data needs.
constexpr int kCubicPhaseBits = 12;

// The Catmull-Rom weights, 4 per phase, (1 << kCubicPhaseBits) + 1 phases.
const float* CubicWeights();

struct CubicKernel {
    static constexpr int Before = 1, Taps = 4;
    static float Read(const float* taps, int stride, int64_t position, const float* table) {
        const float* w = table + PhaseOf<kCubicPhaseBits>(position) * 4;
        return taps[0] * w[0] + taps[stride] * w[1] + taps[2 * stride] * w[2] + taps[3 * stride] * w[3];
    }
};

struct SincKernel {
    static constexpr int Before = kSincTaps / 2 - 1, Taps = kSincTaps;
    static float Read(const float* taps, int stride, int64_t position, const float* table) {
        const float* w = table + PhaseOf<kSincPhaseBits>(position) * kSincTaps;
        float sum = 0;
        for (int k = 0; k < kSincTaps; ++k) sum += taps[k * stride] * w[k];
        return sum;
    }
};

}  // namespace tracker
