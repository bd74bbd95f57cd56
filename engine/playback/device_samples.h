#pragma once
// The mixer works in floats; devices take their mix format.
#include <cstddef>
#include <cstdint>

namespace engine {

enum class DeviceSamples { Float32, Int16, Int24, Int32 };

// Writes samples (already within -1..1; clamped again) in the device's layout, little-endian.
void FloatToDevice(const float* in, uint8_t* out, size_t samples, DeviceSamples kind);
size_t DeviceSampleBytes(DeviceSamples kind);

}  // namespace engine
