// The partitioned Rice residual: the hottest loop of the decoder.
#include "subframe.h"

namespace flac {
namespace {

inline int32_t Unfold(uint32_t v) { return int32_t(v >> 1) ^ -int32_t(v & 1); }

// One Rice-coded value the careful way: near the end of the buffer or with long unary runs.
// Kept out of line, so that the fast loop keeps its state in registers.
__attribute__((noinline)) int32_t ReadRiceSlow(BitReader& reader, unsigned parameter) {
    uint32_t high = reader.ReadUnary();
    uint32_t low = reader.ReadBits(parameter);
    return Unfold((high << parameter) | low);
}

// Decodes `count` values with Rice parameter `parameter` (at most 30).
void ReadRicePartition(BitReader& reader, unsigned parameter, int32_t* out, uint32_t count) {
    uint64_t cache = reader.cache_;
    unsigned bits = reader.bits_;
    const uint8_t* next = reader.next_;
    int32_t* const outEnd = out + count;
    const unsigned stopAndLow = parameter + 1;
    const unsigned lowShift = 63 - parameter;
    const uint32_t stopBit = 1u << parameter;
    while (out < outEnd) {
        // The unary zeros, the stop bit and the low bits, taken from the cache in one go
        // when they fit; the cache is refilled only when they do not. (cache | 1: an
        // all-zero cache counts 63 zeros and goes the careful way.)
        unsigned zeros = unsigned(__builtin_clzll(cache | 1));
        unsigned total = zeros + stopAndLow;
        if (total > bits) {
            if (reader.end_ - next < 8)
                break;  // the fast refill loads 8 bytes at once
            cache |= LoadBigEndian64(next) >> bits;
            next += (63 - bits) >> 3;
            bits |= 56;
            zeros = unsigned(__builtin_clzll(cache | 1));
            total = zeros + stopAndLow;
            if (total > bits) {
                reader.cache_ = cache;
                reader.bits_ = bits;
                reader.next_ = next;
                *out++ = ReadRiceSlow(reader, parameter);
                cache = reader.cache_;
                bits = reader.bits_;
                next = reader.next_;
                continue;
            }
        }
        // The stop bit lands at the top; it and the low bits come down together.
        uint32_t stopAndLowBits = uint32_t((cache << zeros) >> lowShift);
        cache <<= total;  // total <= bits <= 63
        bits -= total;
        *out++ = Unfold((zeros << parameter) + stopAndLowBits - stopBit);
    }
    reader.cache_ = cache;
    reader.bits_ = bits;
    reader.next_ = next;
    for (; out < outEnd; ++out) {
        *out = ReadRiceSlow(reader, parameter);
        if (reader.Overrun())
            return;
    }
}

void ReadEscapedPartition(BitReader& reader, unsigned bits, int32_t* out, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
        out[i] = int32_t(reader.ReadSigned(bits));
}

}  // namespace

Result DecodeResidual(BitReader& reader, uint32_t blockSize, unsigned order, int32_t* out) {
    unsigned method = reader.ReadBits(2);
    if (method > 1)
        return Result::BadFrame;
    unsigned parameterBits = method == 0 ? 4 : 5;
    unsigned escapeCode = (1u << parameterBits) - 1;
    unsigned partitionOrder = reader.ReadBits(4);
    uint32_t partitionSize = blockSize >> partitionOrder;
    if ((partitionSize << partitionOrder) != blockSize || partitionSize < order)
        return Result::BadFrame;

    uint32_t at = order;
    for (uint32_t p = 0; p < (1u << partitionOrder); ++p) {
        uint32_t count = (p == 0) ? partitionSize - order : partitionSize;
        unsigned parameter = reader.ReadBits(parameterBits);
        if (parameter == escapeCode)
            ReadEscapedPartition(reader, reader.ReadBits(5), out + at, count);
        else
            ReadRicePartition(reader, parameter, out + at, count);
        if (reader.Overrun())
            return Result::NeedMoreData;
        at += count;
    }
    return Result::Ok;
}

}  // namespace flac
