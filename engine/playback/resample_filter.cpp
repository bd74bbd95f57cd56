#include "playback/resample_filter.h"

#include <algorithm>
#include <cmath>

namespace engine {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kAttenuationDb = 110.0;  // 10 dB of margin over the -100 dB goal
constexpr double kPassEdgeHz = 20000.0;
constexpr double kMaxPassFraction = 0.91;  // of the lower Nyquist frequency

// The modified Bessel function of the first kind, order 0, by its power series.
double BesselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 200 && term > sum * 1e-17; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

// The closest fraction num/den to inRate/outRate whose denominator stays within maxDen:
// the last continued-fraction convergent that fits (the fraction itself when it does).
void NearestRatio(uint64_t num, uint64_t den, uint64_t maxDen, uint32_t* outNum, uint32_t* outDen) {
    uint64_t h0 = 0, h1 = 1, k0 = 1, k1 = 0;
    while (den != 0) {
        const uint64_t a = num / den;
        const uint64_t h2 = a * h1 + h0, k2 = a * k1 + k0;
        if (k2 > maxDen) break;
        h0 = h1, h1 = h2, k0 = k1, k1 = k2;
        const uint64_t rest = num % den;
        num = den;
        den = rest;
    }
    *outNum = static_cast<uint32_t>(h1);
    *outDen = static_cast<uint32_t>(k1);
}

}  // namespace

std::shared_ptr<const ResampleFilter> MakeResampleFilter(uint32_t inRate, uint32_t outRate) {
    if (inRate == 0 || outRate == 0) return nullptr;
    auto f = std::make_shared<ResampleFilter>();
    f->inRate = inRate;
    f->outRate = outRate;
    NearestRatio(inRate, outRate, kMaxResamplePhases, &f->step, &f->phases);

    // Frequencies as fractions of the input rate; the kernel's time unit is one input frame.
    const double nyquist = std::min(inRate, outRate) / 2.0;
    const double pass = std::min(kPassEdgeHz, kMaxPassFraction * nyquist) / inRate;
    const double stop = nyquist / inRate;
    const double cutoff = (pass + stop) / 2.0;
    // Kaiser's estimates of the length and the window shape for the attenuation wanted.
    const double length = (kAttenuationDb - 7.95) / (14.36 * (stop - pass));
    f->taps = (static_cast<int>(std::ceil(length)) + 7) / 8 * 8;
    const double beta = 0.1102 * (kAttenuationDb - 8.7);
    const double half = f->taps / 2.0;
    const double windowScale = 1.0 / BesselI0(beta);

    f->coeffs.resize(static_cast<size_t>(f->phases) * f->taps);
    std::vector<double> values(f->taps);
    for (uint32_t p = 0; p < f->phases; ++p) {
        float* row = &f->coeffs[static_cast<size_t>(p) * f->taps];
        double sum = 0.0;
        for (int k = 0; k < f->taps; ++k) {
            const double t = static_cast<double>(p) / f->phases + half - 1 - k;  // output time minus input time
            const double x = 2.0 * cutoff * t;
            const double sinc = x == 0.0 ? 1.0 : std::sin(kPi * x) / (kPi * x);
            const double edge = std::max(0.0, 1.0 - (t / half) * (t / half));
            values[k] = 2.0 * cutoff * sinc * BesselI0(beta * std::sqrt(edge)) * windowScale;
            sum += values[k];
        }
        // Every phase passes DC at exactly unity, so no ripple at the phase rate comes in.
        for (int k = 0; k < f->taps; ++k) row[k] = static_cast<float>(values[k] / sum);
    }
    return f;
}

}  // namespace engine
