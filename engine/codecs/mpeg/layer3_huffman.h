#pragma once
// Layer III spectrum: Huffman-coded big values and quads, requantised on the fly.
#include <cstddef>
#include <cstdint>

#include "bit_reader.h"
#include "layer3_side_info.h"

namespace mpeg {

struct HuffmanCodes {
    int table;          // table number (32: the quad table)
    int size;           // values per dimension
    const char* words;  // code words as bit strings, see layer3_huffman_codes.cpp
};
extern const HuffmanCodes kPairCodes[];
extern const int kPairCodeCount;
extern const HuffmanCodes kQuadCodeWords;

// Lines up to `end` share `gain`; runs are ordered and the last one ends at 576.
struct GainRun {
    int end;
    float gain;
};

// Decodes one granule channel's spectrum from the reader's position up to bit `endBit`
// into xr (576 lines), each value taken to the power 4/3 and scaled by its run's gain.
// Returns how many leading lines may be nonzero. Sets *valid to false on broken data.
int ReadSpectrum(BitReader& bits, size_t endBit, const GranuleChannel& g, const GainRun* runs,
                 float* xr, bool* valid);

}  // namespace mpeg
