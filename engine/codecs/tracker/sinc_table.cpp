#include "sinc_table.h"

#include <cmath>

namespace tracker {
namespace {

// Three kernels by increment, each a sinc with its pass band edge (a fraction of the
// source's Nyquist frequency) under a Kaiser window. These are the kernels of libopenmpt's
// 8-tap setting, found by fitting its renderings of probe voices (its output and ours
// differ by -62 to -65 dB up to an increment of 1.5, -49 to -51 dB beyond), so comparisons
// at that setting compare like with like. Past 1.1875 the pass band narrows so that what
// the output rate cannot carry is removed instead of folding back.
constexpr int kTableCount = 3;
constexpr double kTableUpTo[kTableCount] = {1.1875, 1.5, 1e300};
constexpr double kTableCutoff[kTableCount] = {0.97, 0.5, 0.425};
constexpr double kTableBeta[kTableCount] = {9.6377, 8.5, 2.7625};

double BesselI0(double x) {
    double sum = 1, term = 1;
    for (int k = 1; k < 30; ++k) {
        term *= (x / (2 * k)) * (x / (2 * k));
        sum += term;
    }
    return sum;
}

struct SincTables {
    float weights[kTableCount][(kSincPhases + 1) * kSincTaps];

    SincTables() {
        const double pi = 3.14159265358979323846;
        const double half = kSincTaps / 2.0;
        for (int table = 0; table < kTableCount; ++table) {
            const double cutoff = kTableCutoff[table];
            for (int phase = 0; phase <= kSincPhases; ++phase) {
                const double fraction = double(phase) / kSincPhases;
                double taps[kSincTaps];
                double sum = 0;
                for (int k = 0; k < kSincTaps; ++k) {
                    const double t = (k - (half - 1)) - fraction;  // tap distance from the position
                    const double x = pi * cutoff * t;
                    const double sinc = t == 0 ? 1.0 : std::sin(x) / x;
                    const double r = t / half;
                    const double window = r * r >= 1 ? 0.0 : BesselI0(kTableBeta[table] * std::sqrt(1 - r * r)) / BesselI0(kTableBeta[table]);
                    taps[k] = sinc * window;
                    sum += taps[k];
                }
                for (int k = 0; k < kSincTaps; ++k)
                    weights[table][phase * kSincTaps + k] = float(taps[k] / sum);
            }
        }
    }
};

}  // namespace

const float* SincTableForIncrement(double increment) {
    static const SincTables tables;
    int table = 0;
    while (increment > kTableUpTo[table]) ++table;
    return tables.weights[table];
}

}  // namespace tracker
