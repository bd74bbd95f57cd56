#pragma once
// Integer and float sample layouts to floats in -1..1.
#include <cstddef>
#include <cstdint>

namespace engine {

struct PcmLayout {
    int bytesPerSample = 2;   // 1..4, or 4/8 for floats
    bool isFloat = false;
    bool bigEndian = false;
    bool unsigned8 = false;   // 8-bit WAV is offset binary, 8-bit AIFF is signed
};

void PcmToFloat(const uint8_t* in, float* out, size_t samples, const PcmLayout& layout);

}  // namespace engine
