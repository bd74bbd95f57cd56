// The four-byte frame header and the frame size it implies.
#include "mpeg/mpeg.h"

namespace mpeg {
namespace {

// kbit/s by [MPEG-1?][layer - 1][index]; index 0 is free format, 15 is forbidden.
constexpr int16_t kBitrates[2][3][15] = {
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
};

constexpr int kMpeg1Rates[3] = {44100, 48000, 32000};

}  // namespace

bool ParseFrameHeader(const uint8_t* b, FrameHeader& out) {
    if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return false;
    const int versionBits = (b[1] >> 3) & 3;
    const int layerBits = (b[1] >> 1) & 3;
    const int bitrateIndex = b[2] >> 4;
    const int rateIndex = (b[2] >> 2) & 3;
    const int emphasis = b[3] & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 15 || rateIndex == 3 || emphasis == 2) return false;

    FrameHeader h;
    h.version = versionBits == 3 ? Version::Mpeg1 : versionBits == 2 ? Version::Mpeg2 : Version::Mpeg25;
    h.layer = 4 - layerBits;
    h.hasCrc = (b[1] & 1) == 0;
    h.bitrateIndex = bitrateIndex;
    const bool mpeg1 = h.version == Version::Mpeg1;
    h.bitrateKbps = kBitrates[mpeg1 ? 1 : 0][h.layer - 1][bitrateIndex];
    const int shift = mpeg1 ? 0 : h.version == Version::Mpeg2 ? 1 : 2;
    h.sampleRate = kMpeg1Rates[rateIndex] >> shift;
    h.padding = (b[2] >> 1) & 1;
    h.mode = static_cast<ChannelMode>(b[3] >> 6);
    h.modeExtension = (b[3] >> 4) & 3;
    h.channels = h.mode == ChannelMode::Mono ? 1 : 2;
    h.samplesPerFrame = h.layer == 1 ? 384 : (h.layer == 3 && !mpeg1) ? 576 : 1152;
    h.frameBytes = FrameBytes(h);
    out = h;
    return true;
}

int FrameBytes(const FrameHeader& h) {
    if (h.bitrateKbps == 0 || h.sampleRate == 0) return 0;
    const int bitsPerSecond = h.bitrateKbps * 1000;
    if (h.layer == 1) return (12 * bitsPerSecond / h.sampleRate + (h.padding ? 1 : 0)) * 4;
    const int slotsPerSecondFactor = h.samplesPerFrame / 8;  // 144 or 72
    return slotsPerSecondFactor * bitsPerSecond / h.sampleRate + (h.padding ? 1 : 0);
}

bool SameStream(const FrameHeader& a, const FrameHeader& b) {
    return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate &&
           a.channels == b.channels && (a.bitrateIndex == 0) == (b.bitrateIndex == 0);
}

}  // namespace mpeg
