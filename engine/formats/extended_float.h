#pragma once
#include <cstdint>

namespace engine {

// The 80-bit IEEE 754 extended value of AIFF's sample rate (big-endian: sign
// and 15-bit exponent, then a 64-bit mantissa with an explicit integer bit).
// Infinities, NaNs and negative numbers give 0.
double ExtendedToDouble(const uint8_t bytes[10]);

}  // namespace engine
