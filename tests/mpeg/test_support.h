#pragma once
// Fixture loading, decoding with our decoder in chunks of any size, and comparison.
#include <cstdint>
#include <string>
#include <vector>

#include "mpeg/mpeg.h"

std::vector<uint8_t> LoadFixture(const std::string& name);

struct OurPcm {
    std::vector<float> samples;  // interleaved
    int channels = 0;
    int sampleRate = 0;
    int frames = 0;         // audio frames decoded
    int damagedFrames = 0;
    std::vector<int> damaged;  // indices of the damaged frames
    int infoFrames = 0;
};

// Feeds `data` in pieces of `chunk` bytes (0: all at once) the way a streaming caller
// does: unconsumed bytes are passed again together with the next piece.
OurPcm DecodeWithOurs(const std::vector<uint8_t>& data, size_t chunk = 0);

// Signal-to-noise ratio in dB of `test` against `reference` over their common length.
double SnrDb(const std::vector<float>& reference, const std::vector<float>& test);
