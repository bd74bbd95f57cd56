#include "formats/adts_frames.h"

#include <cstring>

namespace engine {
namespace {

constexpr uint32_t kRates[13] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                 22050, 16000, 12000, 11025, 8000,  7350};
// A raw frame holds at most 6144 bits per channel (the decoder's input buffer).
constexpr size_t kMaxRawBytesPerChannel = 768;

}  // namespace

bool ParseAdtsHeader(const uint8_t* p, AdtsHeader& out) {
    if (p[0] != 0xFF || (p[1] & 0xF6) != 0xF0) return false;  // sync, layer 0
    AdtsHeader h;
    h.objectType = (p[2] >> 6) + 1;
    h.rateIndex = p[2] >> 2 & 15;
    h.channelConfig = (p[2] & 1) << 2 | p[3] >> 6;
    if (h.rateIndex >= 13 || h.channelConfig == 0) return false;
    h.sampleRate = kRates[h.rateIndex];
    h.channels = h.channelConfig == 7 ? 8 : h.channelConfig;
    h.headerBytes = (p[1] & 1) ? 7 : 9;
    h.frameBytes = static_cast<size_t>(p[3] & 3) << 11 | static_cast<size_t>(p[4]) << 3 | p[5] >> 5;
    h.rawBlocks = (p[6] & 3) + 1;
    // Each raw frame may bring a 16-bit CRC or position of its own.
    const size_t longest = h.headerBytes + h.rawBlocks * (kMaxRawBytesPerChannel * h.channels + 2);
    if (h.frameBytes <= h.headerBytes || h.frameBytes > longest) return false;
    out = h;
    return true;
}

bool SameAdtsStream(const AdtsHeader& a, const AdtsHeader& b) {
    return a.objectType == b.objectType && a.rateIndex == b.rateIndex && a.channelConfig == b.channelConfig;
}

void AdtsDecoderConfig(const AdtsHeader& header, uint8_t out[2]) {
    // 5 bits object type, 4 bits rate index, 4 bits channel configuration, 3 zero bits.
    out[0] = static_cast<uint8_t>(header.objectType << 3 | header.rateIndex >> 1);
    out[1] = static_cast<uint8_t>((header.rateIndex & 1) << 7 | header.channelConfig << 3);
}

long FindAdtsRun(const uint8_t* data, size_t size, int run) {
    for (size_t start = 0; start + kAdtsHeaderBytes <= size; ++start) {
        AdtsHeader first, h;
        if (data[start] != 0xFF || !ParseAdtsHeader(data + start, first)) continue;
        size_t at = start;
        int found = 0;
        while (found < run && at + kAdtsHeaderBytes <= size && ParseAdtsHeader(data + at, h) &&
               SameAdtsStream(first, h)) {
            ++found;
            at += h.frameBytes;
        }
        if (found == run) return static_cast<long>(start);
    }
    return -1;
}

void AdtsSplitter::Push(const uint8_t* data, size_t size) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(at_));
    at_ = 0;
    buffer_.insert(buffer_.end(), data, data + size);
}

bool AdtsSplitter::Next(AdtsFrame& frame, bool atEnd) {
    for (;;) {
        const size_t left = buffer_.size() - at_;
        const uint8_t* p = buffer_.data() + at_;
        if (left < kAdtsHeaderBytes) {
            if (atEnd) skipped_ += left, at_ = buffer_.size();
            return false;
        }
        if (p[0] != 0xFF) {
            const void* sync = std::memchr(p, 0xFF, left);
            const size_t skip = sync ? static_cast<size_t>(static_cast<const uint8_t*>(sync) - p) : left;
            skipped_ += skip, at_ += skip;
            continue;
        }
        AdtsHeader h, next;
        bool good = false;
        if (!ParseAdtsHeader(p, h)) {
            good = false;
        } else if (inStep_ && SameAdtsStream(last_, h) && left >= h.frameBytes) {
            good = true;  // right where the frame before ended
        } else if (left >= h.frameBytes + kAdtsHeaderBytes) {
            good = ParseAdtsHeader(p + h.frameBytes, next) && SameAdtsStream(h, next);
        } else if (!atEnd) {
            return false;  // wait for the frame and the header behind it
        }
        if (!good) {
            ++skipped_, ++at_;
            inStep_ = false;
            continue;
        }
        at_ += h.frameBytes;
        last_ = h, inStep_ = true;
        if (h.rawBlocks != 1) {
            ++dropped_;
            continue;
        }
        frame.header = h;
        frame.payload = p + h.headerBytes;
        frame.payloadBytes = h.frameBytes - h.headerBytes;
        return true;
    }
}

}  // namespace engine
