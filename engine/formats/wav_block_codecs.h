#pragma once
// Compressed WAV audio that decodes block by block into 16-bit samples: IMA ADPCM,
// Microsoft ADPCM, mu-law and A-law. Each block starts afresh, so seeking goes to the
// block holding the frame and decodes forward from there.
#include <cstddef>
#include <cstdint>

namespace engine {

constexpr uint16_t kWavTagMsAdpcm = 0x0002;
constexpr uint16_t kWavTagALaw = 0x0006;
constexpr uint16_t kWavTagMuLaw = 0x0007;
constexpr uint16_t kWavTagImaAdpcm = 0x0011;
constexpr int kMaxMsAdpcmCoefs = 256;

struct WavBlockCodec {
    uint16_t tag = 0;
    int channels = 0;
    int blockAlign = 0;      // bytes per block
    int framesPerBlock = 0;  // in a whole block
    int numCoefs = 0;        // Microsoft ADPCM predictor pairs
    int16_t coefs[2 * kMaxMsAdpcmCoefs] = {};
};

// Fills `codec` from the format chunk's fields and its extension (the bytes behind
// cbSize). False when the header cannot describe a playable stream.
bool SetUpWavBlockCodec(uint16_t tag, int channels, int blockAlign, int bits, const uint8_t* extension,
                        size_t extensionSize, WavBlockCodec& codec);

// Frames in a block of `bytes` bytes: framesPerBlock for a whole one, fewer for a cut one.
int FramesInBlock(const WavBlockCodec& codec, size_t bytes);

// Decodes FramesInBlock(codec, bytes) interleaved frames.
void DecodeWavBlock(const WavBlockCodec& codec, const uint8_t* in, size_t bytes, int16_t* out);

// The formats' own halves, exposed for the dispatch above.
void DecodeImaAdpcmBlock(const uint8_t* in, int channels, int frames, int16_t* out);
void DecodeMsAdpcmBlock(const WavBlockCodec& codec, const uint8_t* in, int frames, int16_t* out);
void DecodeG711(uint16_t tag, const uint8_t* in, size_t samples, int16_t* out);

}  // namespace engine
