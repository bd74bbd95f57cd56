#pragma once
// Uncompressed audio stored as one block of frames (WAV data, AIFF SSND).
#include <vector>

#include "formats/decoder.h"
#include "formats/pcm_convert.h"

namespace engine {

struct PcmBlock {
    StreamFormat format;   // lengthFrames and rawBytes describe the block
    uint64_t dataOffset = 0;
    int blockAlign = 0;    // bytes per frame: channels * layout.bytesPerSample
    PcmLayout layout;
};

std::unique_ptr<Decoder> MakePcmDecoder(std::unique_ptr<Reader> reader, const PcmBlock& block);

}  // namespace engine
