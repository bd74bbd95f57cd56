#include "formats/pcm_convert.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "containers/endian.h"

namespace engine {
namespace {

int32_t LoadSigned(const uint8_t* p, int bytes, bool bigEndian) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        uint32_t b = bigEndian ? p[i] : p[bytes - 1 - i];
        v = (v << 8) | b;
    }
    // Left-align so the sign bit lands in bit 31.
    return static_cast<int32_t>(v << (32 - 8 * bytes));
}

// Level kept; what a float cannot hold is damage and becomes silence.
float FiniteSample(double v) {
    if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) return 0.0f;
    return static_cast<float>(v);
}

}  // namespace

void PcmToFloat(const uint8_t* in, float* out, size_t samples, const PcmLayout& layout) {
    const int n = layout.bytesPerSample;
    if (layout.isFloat) {
        for (size_t i = 0; i < samples; ++i, in += n) {
            uint8_t raw[8];
            for (int k = 0; k < n; ++k) raw[k] = layout.bigEndian ? in[n - 1 - k] : in[k];
            if (n == 8) {
                double d;
                std::memcpy(&d, raw, 8);
                out[i] = FiniteSample(d);
            } else {
                float f;
                std::memcpy(&f, raw, 4);
                out[i] = FiniteSample(f);
            }
        }
        return;
    }
    if (n == 1 && layout.unsigned8) {
        for (size_t i = 0; i < samples; ++i) out[i] = (static_cast<int>(in[i]) - 128) / 128.0f;
        return;
    }
    if (n == 2 && !layout.bigEndian) {
        for (size_t i = 0; i < samples; ++i, in += 2)
            out[i] = static_cast<int16_t>(container::Le16(in)) / 32768.0f;
        return;
    }
    const double scale = 1.0 / 2147483648.0;
    for (size_t i = 0; i < samples; ++i, in += n)
        out[i] = static_cast<float>(LoadSigned(in, n, layout.bigEndian) * scale);
}

}  // namespace engine
