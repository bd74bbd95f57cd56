#pragma once
// The coefficient table of a band-limited sample-rate converter: a Kaiser-windowed
// sinc low-pass, cut into one row per output phase (polyphase). Built once when a
// channel is set up (it allocates); the output thread only reads it.
#include <cstdint>
#include <memory>
#include <vector>

namespace engine {

struct ResampleFilter {
    uint32_t inRate = 0, outRate = 0;
    // Output frame n lies at input time n * step / phases: the rate ratio in lowest terms
    // (for odd rate pairs the nearest ratio with at most kMaxResamplePhases phases).
    uint32_t phases = 0;
    uint32_t step = 0;
    int taps = 0;  // per row, a multiple of 8
    // phases rows of taps; row p weighs input frames i - taps/2 + 1 .. i + taps/2 for
    // an output at input time i + p / phases.
    std::vector<float> coeffs;
};

constexpr uint32_t kMaxResamplePhases = 1024;

// Flat within 0.1 dB up to 20 kHz (or 90 % of the lower rate's Nyquist frequency,
// whichever is lower), about 110 dB down from the lower rate's Nyquist frequency on.
// Null when either rate is 0.
std::shared_ptr<const ResampleFilter> MakeResampleFilter(uint32_t inRate, uint32_t outRate);

}  // namespace engine
