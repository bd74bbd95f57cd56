#include "sinc_table.h"

#include <cmath>

namespace tracker {
namespace {

constexpr int kTableCount = 4;
// Speed-up each table is made for, and the increment up to which it is used. Past 1 the
// pass band shrinks by the speed-up; the steps keep vibrato around 1 on the first table.
constexpr double kTableSpeedUp[kTableCount] = {1.0, 1.5, 2.0, 3.0};
constexpr double kTableUpTo[kTableCount] = {1.25, 1.75, 2.5, 1e300};
// Pass band edge as a fraction of the source's Nyquist frequency, and the window: together
// they give the kernel of libopenmpt's 8-tap setting (its output for the same voice differs
// by -61 dB on a probe module), so comparisons at that setting compare like with like.
constexpr double kCutoff = 0.97;
constexpr double kKaiserBeta = 9.6;

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
            const double cutoff = kCutoff / kTableSpeedUp[table];
            for (int phase = 0; phase <= kSincPhases; ++phase) {
                const double fraction = double(phase) / kSincPhases;
                double taps[kSincTaps];
                double sum = 0;
                for (int k = 0; k < kSincTaps; ++k) {
                    const double t = (k - (half - 1)) - fraction;  // tap distance from the position
                    const double x = pi * cutoff * t;
                    const double sinc = t == 0 ? 1.0 : std::sin(x) / x;
                    const double r = t / half;
                    const double window = r * r >= 1 ? 0.0 : BesselI0(kKaiserBeta * std::sqrt(1 - r * r)) / BesselI0(kKaiserBeta);
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
