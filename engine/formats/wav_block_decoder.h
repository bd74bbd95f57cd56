#pragma once
// The decoder for compressed WAV data made of independent blocks (wav_block_codecs.h).
#include "formats/decoder.h"
#include "formats/wav_block_codecs.h"

namespace engine {

struct WavBlockStream {
    StreamFormat format;  // lengthFrames: what the fact chunk or the block count says
    uint64_t dataOffset = 0;
    WavBlockCodec codec;
};

std::unique_ptr<Decoder> MakeWavBlockDecoder(std::unique_ptr<Reader> reader, const WavBlockStream& stream);

}  // namespace engine
