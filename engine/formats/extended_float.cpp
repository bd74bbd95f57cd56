#include "formats/extended_float.h"

#include <cmath>

namespace engine {

double ExtendedToDouble(const uint8_t b[10]) {
    const bool negative = b[0] & 0x80;
    const int exponent = ((b[0] & 0x7F) << 8) | b[1];
    uint64_t mantissa = 0;
    for (int i = 2; i < 10; ++i) mantissa = (mantissa << 8) | b[i];
    if (negative || exponent == 0x7FFF) return 0.0;
    if (mantissa == 0) return 0.0;
    return std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
}

}  // namespace engine
