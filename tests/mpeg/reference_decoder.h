#pragma once
// libmpg123 as the reference: decodes a whole buffer from memory to interleaved floats.
#include <cstdint>
#include <vector>

struct ReferencePcm {
    std::vector<float> samples;  // interleaved
    int channels = 0;
    int sampleRate = 0;
    bool ok = false;
};

// With `gapless` the reference drops the encoder delay and padding that a LAME tag names.
ReferencePcm DecodeWithReference(const std::vector<uint8_t>& data, bool gapless);
