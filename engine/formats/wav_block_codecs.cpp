#include "formats/wav_block_codecs.h"

#include "containers/endian.h"

namespace engine {
namespace {

// mu-law and A-law have one-byte frames; they are read this many at a time.
constexpr int kG711FramesPerBlock = 1024;

const int16_t kStandardMsCoefs[14] = {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232};

int MaxImaFrames(int channels, int blockAlign) {
    const int header = 4 * channels;
    return blockAlign < header ? 0 : 1 + (blockAlign - header) / header * 8;
}

int MaxMsFrames(int channels, int blockAlign) {
    const int header = 7 * channels;
    return blockAlign < header ? 0 : 2 + (blockAlign - header) * 2 / channels;
}

// Samples per block from the extension; without one, as many as the block holds.
int FramesPerBlock(const uint8_t* extension, size_t extensionSize, int most) {
    if (extensionSize < 2) return most;
    return container::Le16(extension);
}

}  // namespace

bool SetUpWavBlockCodec(uint16_t tag, int channels, int blockAlign, int bits, const uint8_t* extension,
                        size_t extensionSize, WavBlockCodec& codec) {
    codec.tag = tag;
    codec.channels = channels;
    if (tag == kWavTagMuLaw || tag == kWavTagALaw) {
        if (bits != 8) return false;
        codec.blockAlign = channels * kG711FramesPerBlock;  // the header's value is one frame
        codec.framesPerBlock = kG711FramesPerBlock;
        return true;
    }
    codec.blockAlign = blockAlign;
    if (tag == kWavTagImaAdpcm) {
        if (bits != 4) return false;
        const int most = MaxImaFrames(channels, blockAlign);
        codec.framesPerBlock = FramesPerBlock(extension, extensionSize, most);
        return codec.framesPerBlock >= 1 && codec.framesPerBlock <= most;
    }
    if (tag == kWavTagMsAdpcm) {
        if (bits != 4) return false;
        const int most = MaxMsFrames(channels, blockAlign);
        codec.framesPerBlock = FramesPerBlock(extension, extensionSize, most);
        if (codec.framesPerBlock < 2 || codec.framesPerBlock > most) return false;
        // The predictor table; files without one use the standard seven pairs.
        int count = extensionSize >= 4 ? container::Le16(extension + 2) : 0;
        if (count > kMaxMsAdpcmCoefs || 4 + 4 * static_cast<size_t>(count) > extensionSize) count = 0;
        if (count == 0) {
            codec.numCoefs = 7;
            for (int i = 0; i < 14; ++i) codec.coefs[i] = kStandardMsCoefs[i];
        } else {
            codec.numCoefs = count;
            for (int i = 0; i < 2 * count; ++i)
                codec.coefs[i] = static_cast<int16_t>(container::Le16(extension + 4 + 2 * i));
        }
        return true;
    }
    return false;
}

int FramesInBlock(const WavBlockCodec& codec, size_t bytes) {
    if (bytes >= static_cast<size_t>(codec.blockAlign)) return codec.framesPerBlock;
    const int n = static_cast<int>(bytes);
    int frames = 0;
    if (codec.tag == kWavTagImaAdpcm) frames = MaxImaFrames(codec.channels, n);
    else if (codec.tag == kWavTagMsAdpcm) frames = MaxMsFrames(codec.channels, n);
    else frames = n / codec.channels;
    return frames < codec.framesPerBlock ? frames : codec.framesPerBlock;
}

void DecodeWavBlock(const WavBlockCodec& codec, const uint8_t* in, size_t bytes, int16_t* out) {
    const int frames = FramesInBlock(codec, bytes);
    if (frames == 0) return;
    if (codec.tag == kWavTagImaAdpcm) DecodeImaAdpcmBlock(in, codec.channels, frames, out);
    else if (codec.tag == kWavTagMsAdpcm) DecodeMsAdpcmBlock(codec, in, frames, out);
    else DecodeG711(codec.tag, in, static_cast<size_t>(frames) * codec.channels, out);
}

}  // namespace engine
