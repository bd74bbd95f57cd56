#pragma once
// IT's compressed samples: blocks of variable-width deltas (8-bit: 0x8000 frames a block,
// 16-bit: 0x4000), integrated once (IT 2.14) or twice (IT 2.15).
#include <cstddef>
#include <cstdint>

#include "bytes.h"

namespace tracker {

// Decodes one channel of `frames` frames from `at` into out[0], out[stride], ... (scaled to
// -1..1); frames whose blocks are missing stay as they are. Returns the offset after the
// last block read.
size_t DecompressItSample(const Bytes& in, size_t at, uint32_t frames, bool sixteenBit, bool it215, float* out,
                          int stride);

}  // namespace tracker
