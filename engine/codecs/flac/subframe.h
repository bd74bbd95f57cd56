#pragma once
// One channel of a frame: the subframe header, the warm-up samples and the predictor,
// then the residual. Internal to the decoder.
#include <cstdint>

#include "bit_reader.h"
#include "flac/flac.h"

namespace flac {

// Decodes `blockSize` samples of `bitsPerSample` bits (at most 32) into out.
Result DecodeSubframe(BitReader& reader, uint32_t blockSize, unsigned bitsPerSample, int32_t* out);

// The same for the 33-bit side channel of 32-bit stereo; `residual` is scratch of blockSize.
Result DecodeWideSubframe(BitReader& reader, uint32_t blockSize, unsigned bitsPerSample, int64_t* out,
                          int32_t* residual);

// Reads the partitioned Rice residual of a subframe whose predictor has `order` warm-up
// samples, into out[order .. blockSize).
Result DecodeResidual(BitReader& reader, uint32_t blockSize, unsigned order, int32_t* out);

}  // namespace flac
