#include "formats/extended_float.h"

#include <cmath>

#include "containers/endian.h"

namespace engine {

double ExtendedToDouble(const uint8_t b[10]) {
    const bool negative = b[0] & 0x80;
    const int exponent = container::Be16(b) & 0x7FFF;
    const uint64_t mantissa = container::Be64(b + 2);
    if (negative || exponent == 0x7FFF) return 0.0;
    if (mantissa == 0) return 0.0;
    return std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
}

}  // namespace engine
