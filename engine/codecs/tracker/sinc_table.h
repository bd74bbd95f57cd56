#pragma once
// The 8-tap windowed-sinc kernels the mixer's Sinc8 interpolation reads: 512 phases of 8
// weights each, one table per band limit so that samples played well faster than the
// output rate (increment > 1.1875) are low-passed before they fold back. Built once, on
// first use.
#include <cstdint>

namespace tracker {

constexpr int kSincTaps = 8;
constexpr int kSincPhaseBits = 9;
constexpr int kSincPhases = 1 << kSincPhaseBits;

// Weights for the taps at index-3 .. index+4 around a position between index and index+1;
// the phase is the fraction rounded to 1/kSincPhases steps (kSincPhases + 1 phases, the last
// one a whole frame on), so reading forwards and backwards round alike. Each sums to 1.
const float* SincTableForIncrement(double increment);

}  // namespace tracker
