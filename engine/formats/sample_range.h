#pragma once
// Decoded samples keep their level: loud tracks overshoot full scale and volume or replay
// gain may bring them back, so the output limits the mix once (LimitToFullScale). Only
// what damaged input can give, NaN and infinities, is taken out here.
#include <cmath>

namespace engine {

inline float ToSampleRange(float v) { return std::isfinite(v) ? v : 0.0f; }

}  // namespace engine
