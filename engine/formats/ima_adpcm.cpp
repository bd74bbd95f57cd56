// IMA ADPCM as WAV stores it: per channel a 4-byte header (first sample, step index),
// then groups of 4 bytes per channel in turn, 8 samples each, low nibble first.
#include <algorithm>

#include "containers/endian.h"
#include "formats/wav_block_codecs.h"

namespace engine {
namespace {

const int16_t kStepSizes[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
const int8_t kIndexSteps[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

struct ImaState {
    int sample;
    int index;

    int16_t Next(int nibble) {
        const int step = kStepSizes[index];
        int diff = step >> 3;
        if (nibble & 4) diff += step;
        if (nibble & 2) diff += step >> 1;
        if (nibble & 1) diff += step >> 2;
        sample = std::clamp(nibble & 8 ? sample - diff : sample + diff, -32768, 32767);
        index = std::clamp(index + kIndexSteps[nibble & 7], 0, 88);
        return static_cast<int16_t>(sample);
    }
};

}  // namespace

void DecodeImaAdpcmBlock(const uint8_t* in, int channels, int frames, int16_t* out) {
    const uint8_t* data = in + 4 * channels;
    for (int c = 0; c < channels; ++c) {
        ImaState state{static_cast<int16_t>(container::Le16(in + 4 * c)), std::min<int>((in + 4 * c)[2], 88)};
        out[c] = static_cast<int16_t>(state.sample);
        for (int f = 1; f < frames; ++f) {
            const int k = (f - 1) % 8;
            const uint8_t byte = data[(f - 1) / 8 * 4 * channels + 4 * c + k / 2];
            out[f * channels + c] = state.Next(k & 1 ? byte >> 4 : byte & 15);
        }
    }
}

}  // namespace engine
