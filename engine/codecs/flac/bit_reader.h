#pragma once
// Big-endian bit reader over a bounded buffer. Past the end it reads zeros and marks an
// overrun instead of touching memory it does not own; callers check Overrun() at points
// where a cut-off must stop the work (after a partition, a subframe, the footer).
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace flac {

inline uint64_t LoadBigEndian64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : begin_(data), next_(data), end_(data + size) {}

    // Afterwards at least 57 bits are valid. The valid bits sit at the top of the cache;
    // below them may follow further bits of the stream (the fast path loads 8 bytes at once),
    // which a later load simply writes again.
    void Refill() {
        if (end_ - next_ >= 8) {
            cache_ |= LoadBigEndian64(next_) >> bits_;
            next_ += (63 - bits_) >> 3;
            bits_ |= 56;
            return;
        }
        while (bits_ <= 56) {
            uint64_t byte = 0;
            if (next_ < end_)
                byte = *next_++;
            else
                ++zeroBytes_;
            cache_ |= byte << (56 - bits_);
            bits_ += 8;
        }
    }

    // n in 0..32.
    uint32_t ReadBits(unsigned n) {
        if (n == 0)
            return 0;
        if (bits_ < n)
            Refill();
        uint32_t v = uint32_t(cache_ >> (64 - n));
        Consume(n);
        return v;
    }

    // n in 0..64, as a two's complement number of n bits.
    int64_t ReadSigned(unsigned n) {
        if (n == 0)
            return 0;
        uint64_t v = n > 32 ? (uint64_t(ReadBits(n - 32)) << 32) | ReadBits(32) : ReadBits(n);
        return int64_t(v << (64 - n)) >> (64 - n);
    }

    // Counts zero bits up to the next one bit and consumes them and the one.
    uint32_t ReadUnary() {
        uint32_t count = 0;
        for (;;) {
            if (bits_ == 0)
                Refill();
            if (cache_ != 0) {
                unsigned zeros = unsigned(__builtin_clzll(cache_));
                if (zeros < bits_) {
                    Consume(zeros + 1);
                    return count + zeros;
                }
            }
            // All valid bits are zero: drop them and load afresh.
            count += bits_;
            cache_ = 0;
            bits_ = 0;
            if (Overrun())
                return count;
        }
    }

    void AlignToByte() { Consume(bits_ & 7); }

    // Bits consumed since the start, counting zeros read past the end.
    uint64_t BitPosition() const { return uint64_t(next_ - begin_ + zeroBytes_) * 8 - bits_; }
    bool Overrun() const { return BitPosition() > uint64_t(end_ - begin_) * 8; }

    // The hot residual loop works on these directly, see residual.cpp.
    const uint8_t* begin_;
    const uint8_t* next_;
    const uint8_t* end_;
    uint64_t cache_ = 0;
    unsigned bits_ = 0;
    size_t zeroBytes_ = 0;

private:
    void Consume(unsigned n) {
        // n may equal 64 only when the whole cache is valid; a shift by 64 is undefined.
        cache_ = n < 64 ? cache_ << n : 0;
        bits_ -= n;
    }
};

}  // namespace flac
