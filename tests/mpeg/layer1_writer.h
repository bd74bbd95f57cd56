#pragma once
// A tiny layer I encoder for tests (no common tool writes layer I): it writes tones
// straight into the subbands at 448 kbit/s, quantised with fixed allocations.
#include <cstdint>
#include <vector>

#include "mpeg/mpeg.h"

struct Layer1Options {
    int rateIndex = 0;         // 0: 44.1 kHz, 1: 48 kHz, 2: 32 kHz
    mpeg::ChannelMode mode = mpeg::ChannelMode::Stereo;
    int modeExtension = 0;     // joint stereo: subbands from 4 * (extension + 1) are shared
    int frames = 200;
};

std::vector<uint8_t> WriteLayer1(const Layer1Options& options);
