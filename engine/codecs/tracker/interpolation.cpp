#include "interpolation.h"

namespace tracker {
namespace {

struct CubicTable {
    float weights[((1 << kCubicPhaseBits) + 1) * 4];
    CubicTable() {
        for (int phase = 0; phase <= (1 << kCubicPhaseBits); ++phase) {
            const double t = double(phase) / (1 << kCubicPhaseBits), t2 = t * t, t3 = t2 * t;
            float* w = weights + phase * 4;
            w[0] = float(-0.5 * t3 + t2 - 0.5 * t);
            w[1] = float(1.5 * t3 - 2.5 * t2 + 1);
            w[2] = float(-1.5 * t3 + 2 * t2 + 0.5 * t);
            w[3] = float(0.5 * t3 - 0.5 * t2);
        }
    }
};

}  // namespace

const float* CubicWeights() {
    static const CubicTable table;
    return table.weights;
}

}  // namespace tracker
