#pragma once
// Float decoders overshoot on loud passages and can give NaN on damaged input; the
// engine takes samples in -1..1 only.
namespace engine {

inline float ToSampleRange(float v) {
    if (v >= -1.0f && v <= 1.0f) return v;
    if (v > 1.0f) return 1.0f;
    if (v < -1.0f) return -1.0f;
    return 0.0f;  // NaN
}

}  // namespace engine
