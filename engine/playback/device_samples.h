#pragma once
// The mixer works in floats; devices take their mix format.
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace engine {

enum class DeviceSamples { Float32, Int16, Int24, Int32 };

// The one limit on the way out: full scale is a hard clip (integer layouts never wrap) and
// a NaN, which only a sum of opposite infinities can give, is silence.
inline float LimitToFullScale(float v) {
    if (v > 1.0f) return 1.0f;
    if (v < -1.0f) return -1.0f;
    return std::isnan(v) ? 0.0f : v;
}

// Writes samples, limited, in the device's layout, little-endian.
void FloatToDevice(const float* in, uint8_t* out, size_t samples, DeviceSamples kind);
size_t DeviceSampleBytes(DeviceSamples kind);

}  // namespace engine
