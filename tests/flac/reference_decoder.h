#pragma once
// libFLAC as the reference: decodes a whole file from memory.
#include <cstdint>
#include <vector>

struct ReferenceAudio {
    bool ok = false;
    unsigned channels = 0;
    unsigned bitsPerSample = 0;
    uint64_t totalSamples = 0;
    std::vector<int32_t> samples;  // interleaved
    unsigned errors = 0;           // frames libFLAC reported as damaged
};

// `ogg`: the file is FLAC in an Ogg container.
ReferenceAudio DecodeWithLibFlac(const std::vector<uint8_t>& file, bool ogg = false);
