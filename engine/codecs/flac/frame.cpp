// A whole frame: header, one subframe per channel, stereo decorrelation, CRC-16.
#include "crc.h"
#include "flac/flac.h"
#include "subframe.h"

namespace flac {
namespace {

enum Assignment : uint32_t { kLeftSide = 8, kRightSide = 9, kMidSide = 10 };

// The side channel carries one bit more than the others.
unsigned SubframeBits(const FrameHeader& h, unsigned channel) {
    bool isSide = (h.channelAssignment == kLeftSide && channel == 1) ||
                  (h.channelAssignment == kRightSide && channel == 0) ||
                  (h.channelAssignment == kMidSide && channel == 1);
    return h.bitsPerSample + (isSide ? 1 : 0);
}

void Grow(std::vector<int32_t>& v, size_t n) {
    if (v.size() < n)
        v.resize(n);
}

// Interleaves the channels, undoing left/side, right/side or mid/side. Sums that can
// exceed 32 bits in a damaged stream are formed in 64 bits or wrap.
void Interleave(const FrameHeader& h, FrameScratch& scratch, const int64_t* wideSide, int32_t* out) {
    uint32_t n = h.blockSize;
    unsigned channels = h.channels;
    if (h.channelAssignment < 8 && channels == 2) {
        const int32_t* left = scratch.channels[0].data();
        const int32_t* right = scratch.channels[1].data();
        for (uint32_t i = 0; i < n; ++i) {
            out[2 * i] = left[i];
            out[2 * i + 1] = right[i];
        }
        return;
    }
    if (h.channelAssignment < 8) {
        for (unsigned c = 0; c < channels; ++c) {
            const int32_t* src = scratch.channels[c].data();
            for (uint32_t i = 0; i < n; ++i)
                out[i * channels + c] = src[i];
        }
        return;
    }
    const int32_t* a = scratch.channels[0].data();
    const int32_t* b = scratch.channels[1].data();
    const int32_t* narrowSide = h.channelAssignment == kRightSide ? a : b;
    auto side = [&](uint32_t i) -> int64_t { return wideSide ? wideSide[i] : narrowSide[i]; };
    switch (h.channelAssignment) {
    case kLeftSide:
        for (uint32_t i = 0; i < n; ++i) {
            out[2 * i] = a[i];
            out[2 * i + 1] = int32_t(uint32_t(a[i]) - uint32_t(side(i)));
        }
        break;
    case kRightSide:
        for (uint32_t i = 0; i < n; ++i) {
            out[2 * i] = int32_t(uint32_t(b[i]) + uint32_t(side(i)));
            out[2 * i + 1] = b[i];
        }
        break;
    default:  // mid/side: mid lost its lowest bit, which the side's lowest bit restores
        for (uint32_t i = 0; i < n; ++i) {
            int64_t s = side(i);
            uint64_t mid = (uint64_t(int64_t(a[i])) << 1) | uint64_t(s & 1);
            out[2 * i] = int32_t(int64_t(mid + uint64_t(s)) >> 1);
            out[2 * i + 1] = int32_t(int64_t(mid - uint64_t(s)) >> 1);
        }
        break;
    }
}

}  // namespace

Result DecodeFrame(const uint8_t* data, size_t size, const StreamInfo& info, FrameScratch& scratch,
                   DecodedFrame& out) {
    FrameHeader& h = out.header;
    Result r = ParseFrameHeader(data, size, info, h);
    if (r != Result::Ok)
        return r;
    // The output format stays that of the stream, so frames that change it are refused.
    if (info.channels && (h.channels != info.channels || h.bitsPerSample != info.bitsPerSample))
        return Result::BadFrame;

    BitReader reader(data + h.headerBytes, size - h.headerBytes);

    const int64_t* wideSide = nullptr;
    for (unsigned c = 0; c < h.channels; ++c) {
        unsigned bits = SubframeBits(h, c);
        if (bits > 32) {
            scratch.wideSide.resize(h.blockSize);
            Grow(scratch.residual, h.blockSize);
            r = DecodeWideSubframe(reader, h.blockSize, bits, scratch.wideSide.data(), scratch.residual.data());
            wideSide = scratch.wideSide.data();
        } else {
            Grow(scratch.channels[c], h.blockSize);
            r = DecodeSubframe(reader, h.blockSize, bits, scratch.channels[c].data());
        }
        if (r != Result::Ok)
            return r;
    }

    reader.AlignToByte();
    uint32_t storedCrc = reader.ReadBits(16);
    if (reader.Overrun())
        return Result::NeedMoreData;
    out.frameBytes = h.headerBytes + size_t(reader.BitPosition() / 8);
    if (Crc16(data, out.frameBytes - 2) != storedCrc)
        return Result::CrcMismatch;

    out.samples.resize(size_t(h.blockSize) * h.channels);
    Interleave(h, scratch, wideSide, out.samples.data());
    return Result::Ok;
}

}  // namespace flac
