#include "it_compression.h"

#include <algorithm>

namespace tracker {
namespace {

// Reads bits lowest first within one block; past the block's end it gives zeros.
class BitReader {
public:
    BitReader(const Bytes& in, size_t at, size_t bytes) : in_(in), at_(at), end_(at + bytes) {}
    uint32_t Read(int bits) {
        uint32_t value = 0;
        for (int i = 0; i < bits; ++i) {
            if (at_ < end_ && (in_.U8(at_) >> bit_ & 1)) value |= 1u << i;
            if (++bit_ == 8) {
                bit_ = 0;
                ++at_;
            }
        }
        return value;
    }
    bool Exhausted() const { return at_ >= end_; }

private:
    const Bytes& in_;
    size_t at_, end_;
    int bit_ = 0;
};

struct Widths {
    int full;        // 9 or 17: the width that carries a whole value plus a flag bit
    int escapeBits;  // bits of a new width after a small-width escape (3 or 4)
    int valueBits;   // 8 or 16
};

// One block. Returns false when the stream is broken (a width out of range).
bool DecodeBlock(BitReader& bits, const Widths& w, uint32_t frames, bool it215, float scale, float* out, int stride) {
    int width = w.full;
    int32_t sum1 = 0, sum2 = 0;
    const uint32_t valueMask = (1u << w.valueBits) - 1;
    for (uint32_t i = 0; i < frames;) {
        if (width < 1 || width > w.full) return false;
        const uint32_t value = bits.Read(width);
        if (width < 7) {
            if (value == 1u << (width - 1)) {
                const int next = static_cast<int>(bits.Read(w.escapeBits)) + 1;
                width = next < width ? next : next + 1;
                continue;
            }
        } else if (width < w.full) {
            const uint32_t border = (valueMask >> (w.full - width)) - (w.valueBits == 8 ? 4 : 8);
            if (value > border && value <= border + (w.valueBits == 8 ? 8 : 16)) {
                const int next = static_cast<int>(value - border);
                width = next < width ? next : next + 1;
                continue;
            }
        } else if (value & (1u << w.valueBits)) {
            width = static_cast<int>((value + 1) & 0xFF);
            continue;
        }
        // A value of `width` bits (the full width's flag bit is clear), sign-extended.
        const int valueWidth = std::min(width, w.valueBits);
        const int shift = 32 - valueWidth;
        const int32_t delta = static_cast<int32_t>(static_cast<uint32_t>(value) << shift) >> shift;
        sum1 += delta;
        sum2 += sum1;
        const int32_t raw = it215 ? sum2 : sum1;
        // The tracker kept the sums in 8- or 16-bit registers.
        const int32_t wrapped = w.valueBits == 8 ? static_cast<int8_t>(raw) : static_cast<int16_t>(raw);
        sum1 = w.valueBits == 8 ? static_cast<int8_t>(sum1) : static_cast<int16_t>(sum1);
        sum2 = w.valueBits == 8 ? static_cast<int8_t>(sum2) : static_cast<int16_t>(sum2);
        out[size_t(i) * stride] = static_cast<float>(wrapped) * scale;
        ++i;
    }
    return true;
}

}  // namespace

size_t DecompressItSample(const Bytes& in, size_t at, uint32_t frames, bool sixteenBit, bool it215, float* out,
                          int stride) {
    const Widths w = sixteenBit ? Widths{17, 4, 16} : Widths{9, 3, 8};
    const uint32_t blockFrames = sixteenBit ? 0x4000 : 0x8000;
    const float scale = sixteenBit ? 1.0f / 32768.0f : 1.0f / 128.0f;
    for (uint32_t done = 0; done < frames;) {
        if (!in.Has(at, 2)) break;
        const size_t blockBytes = std::min<size_t>(in.U16le(at), in.Left(at + 2));
        at += 2;
        const uint32_t n = std::min(blockFrames, frames - done);
        BitReader bits(in, at, blockBytes);
        DecodeBlock(bits, w, n, it215, scale, out + size_t(done) * stride, stride);
        at += blockBytes;
        done += n;
    }
    return at;
}

}  // namespace tracker
