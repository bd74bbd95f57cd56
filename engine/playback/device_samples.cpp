#include "playback/device_samples.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace engine {
namespace {

int32_t Scale(float v, double full) {
    double x = static_cast<double>(LimitToFullScale(v)) * full;
    x = std::floor(x + 0.5);
    return static_cast<int32_t>(std::clamp(x, -full, full - 1));
}

}  // namespace

size_t DeviceSampleBytes(DeviceSamples kind) {
    switch (kind) {
    case DeviceSamples::Int16: return 2;
    case DeviceSamples::Int24: return 3;
    default: return 4;
    }
}

void FloatToDevice(const float* in, uint8_t* out, size_t samples, DeviceSamples kind) {
    for (size_t i = 0; i < samples; ++i) {
        switch (kind) {
        case DeviceSamples::Float32: {
            float v = LimitToFullScale(in[i]);
            std::memcpy(out, &v, 4);
            out += 4;
            break;
        }
        case DeviceSamples::Int16: {
            int32_t v = Scale(in[i], 32768.0);
            out[0] = v & 0xFF;
            out[1] = (v >> 8) & 0xFF;
            out += 2;
            break;
        }
        case DeviceSamples::Int24: {
            int32_t v = Scale(in[i], 8388608.0);
            out[0] = v & 0xFF;
            out[1] = (v >> 8) & 0xFF;
            out[2] = (v >> 16) & 0xFF;
            out += 3;
            break;
        }
        case DeviceSamples::Int32: {
            int32_t v = Scale(in[i], 2147483648.0);
            for (int k = 0; k < 4; ++k) out[k] = (static_cast<uint32_t>(v) >> (8 * k)) & 0xFF;
            out += 4;
            break;
        }
        }
    }
}

}  // namespace engine
