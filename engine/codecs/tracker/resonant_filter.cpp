#include "resonant_filter.h"

#include <algorithm>
#include <cmath>

namespace tracker {
namespace {

// The state is held within twice full scale: a resonant peak on a loud tone saturates
// there, as in libopenmpt's rendering (probe tones near a resonant corner give the same
// level), and a runaway value never lingers in a voice.
constexpr float kStateLimit = 2.0f;
constexpr float kStateFloor = 1e-20f;

}  // namespace

void ComputeFilter(int cutoff, int resonance, uint32_t outputRate, ResonantFilter& filter) {
    cutoff = std::clamp(cutoff, 0, 127);
    resonance = std::clamp(resonance, 0, 127);
    const bool wasEnabled = filter.enabled;
    // Fully open and without resonance the filter is off, as in IT.
    filter.enabled = !(cutoff == 127 && resonance == 0);
    if (filter.enabled && !wasEnabled) {
        filter.y1[0] = filter.y1[1] = filter.y2[0] = filter.y2[1] = 0;
    }
    const double pi = 3.14159265358979323846;
    const double frequency = 110.0 * std::pow(2.0, 0.25 + cutoff / 24.0);
    // Resonance 0..127 lowers the damping by up to 24 dB.
    const double damping = std::pow(10.0, -resonance * (24.0 / 128.0) / 20.0);
    // r below 1/2 (a corner near or past the output's Nyquist frequency at low rates)
    // makes the recursion unstable at high resonance; held there it stays stable.
    const double r = std::max(0.5, double(outputRate) / (2 * pi * frequency));
    const double d = damping * r + damping - 1;
    const double e = r * r;
    const double scale = 1 / (1 + d + e);
    filter.highpass = false;
    filter.a0 = float(scale);
    filter.b0 = float((d + 2 * e) * scale);
    filter.b1 = float(-e * scale);
}

void ApplyResonantFilter(ResonantFilter& filter, float* const* channels, int channelCount, size_t frames) {
    const float a0 = filter.a0, b0 = filter.b0, b1 = filter.b1;
    for (int c = 0; c < channelCount; ++c) {
        float* data = channels[c];
        float y1 = filter.y1[c], y2 = filter.y2[c];
        for (size_t i = 0; i < frames; ++i) {
            const float y = std::clamp(a0 * data[i] + b0 * y1 + b1 * y2, -kStateLimit, kStateLimit);
            y2 = y1;
            y1 = y;
            data[i] = y;
        }
        // A decayed state would linger as denormals, which are slow on every later sample.
        filter.y1[c] = std::fabs(y1) < kStateFloor ? 0.0f : y1;
        filter.y2[c] = std::fabs(y2) < kStateFloor ? 0.0f : y2;
    }
}

}  // namespace tracker
