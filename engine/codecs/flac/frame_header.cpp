// Frame header: sync code, coded block size and rate, channel layout, sample size,
// frame or sample number, CRC-8.
#include "containers/endian.h"
#include "crc.h"
#include "flac/flac.h"

namespace flac {
namespace {

constexpr uint32_t kRates[12] = {0,     88200, 176400, 192000, 8000,  16000,
                                 22050, 24000, 32000,  44100,  48000, 96000};
constexpr uint32_t kSampleSizes[8] = {0, 8, 12, 0, 16, 20, 24, 32};

// The frame or sample number in its UTF-8-like coding: up to 7 bytes, 36 bits.
// Returns the bytes used, 0 when invalid, -1 when cut off.
int ReadCodedNumber(const uint8_t* p, size_t size, uint64_t& value) {
    if (size < 1)
        return -1;
    uint8_t lead = p[0];
    int extra;
    if (lead < 0x80) {
        value = lead;
        return 1;
    } else if (lead < 0xC0) {
        return 0;
    } else if (lead < 0xE0) {
        extra = 1;
        value = lead & 0x1F;
    } else if (lead < 0xF0) {
        extra = 2;
        value = lead & 0x0F;
    } else if (lead < 0xF8) {
        extra = 3;
        value = lead & 0x07;
    } else if (lead < 0xFC) {
        extra = 4;
        value = lead & 0x03;
    } else if (lead < 0xFE) {
        extra = 5;
        value = lead & 0x01;
    } else if (lead == 0xFE) {
        extra = 6;
        value = 0;
    } else {
        return 0;
    }
    if (size < size_t(extra) + 1)
        return -1;
    for (int i = 1; i <= extra; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (p[i] & 0x3F);
    }
    return extra + 1;
}

}  // namespace

Result ParseFrameHeader(const uint8_t* data, size_t size, const StreamInfo& info, FrameHeader& out) {
    if (size < 2)
        return Result::NeedMoreData;
    // 14 sync bits, then a reserved zero bit.
    if (data[0] != 0xFF || (data[1] & 0xFE) != 0xF8)
        return Result::BadFrame;
    if (size < 4)
        return Result::NeedMoreData;
    out.variableBlockSize = (data[1] & 1) != 0;
    unsigned blockCode = data[2] >> 4;
    unsigned rateCode = data[2] & 0x0F;
    unsigned channelCode = data[3] >> 4;
    unsigned sizeCode = (data[3] >> 1) & 7;
    if (blockCode == 0 || rateCode == 15 || channelCode > 10 || sizeCode == 3 || (data[3] & 1))
        return Result::BadFrame;

    size_t at = 4;
    int numberBytes = ReadCodedNumber(data + at, size - at, out.codedNumber);
    if (numberBytes < 0)
        return Result::NeedMoreData;
    if (numberBytes == 0 || (!out.variableBlockSize && numberBytes > 6))
        return Result::BadFrame;
    at += size_t(numberBytes);

    size_t tailBytes = (blockCode == 6 ? 1 : blockCode == 7 ? 2 : 0) + (rateCode == 12 ? 1 : rateCode >= 13 ? 2 : 0);
    if (size < at + tailBytes + 1)
        return Result::NeedMoreData;

    if (blockCode == 1)
        out.blockSize = 192;
    else if (blockCode <= 5)
        out.blockSize = 576u << (blockCode - 2);
    else if (blockCode == 6)
        out.blockSize = data[at++] + 1u;
    else if (blockCode == 7) {
        out.blockSize = container::Be16(data + at) + 1u;
        at += 2;
    } else
        out.blockSize = 256u << (blockCode - 8);

    if (rateCode == 0)
        out.sampleRate = info.sampleRate;
    else if (rateCode < 12)
        out.sampleRate = kRates[rateCode];
    else if (rateCode == 12)
        out.sampleRate = data[at++] * 1000u;
    else {
        uint32_t v = container::Be16(data + at);
        at += 2;
        out.sampleRate = rateCode == 13 ? v : v * 10;
    }

    out.channelAssignment = channelCode;
    out.channels = channelCode < 8 ? channelCode + 1 : 2;
    out.bitsPerSample = sizeCode == 0 ? info.bitsPerSample : kSampleSizes[sizeCode];
    if (out.sampleRate == 0 || out.bitsPerSample < 4 || out.bitsPerSample > 32)
        return Result::BadFrame;

    if (Crc8(data, at) != data[at])
        return Result::BadFrame;
    out.headerBytes = at + 1;

    if (out.variableBlockSize) {
        out.firstSample = out.codedNumber;
    } else {
        // Every frame but the last has the stream's block size; the last may be shorter.
        bool fixedInStream = info.maxBlockSize != 0 && info.minBlockSize == info.maxBlockSize;
        uint32_t streamBlock = fixedInStream ? info.maxBlockSize : out.blockSize;
        out.firstSample = out.codedNumber * streamBlock;
    }
    return Result::Ok;
}

}  // namespace flac
