#pragma once
// Big-endian bit reader over a bounded buffer with a 64-bit cache. Past the end it reads
// zeros instead of touching memory it does not own; Overrun() tells a caller that this
// happened.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace mpeg {

class BitReader {
public:
    BitReader(const uint8_t* data, size_t bytes) : data_(data), bytes_(bytes) {}

    // The next n bits (1..32) without consuming them.
    uint32_t Peek(int n) {
        if (count_ < n) Refill();
        return static_cast<uint32_t>(cache_ >> (64 - n));
    }
    // n up to 32.
    void Skip(int n) {
        if (count_ < n) Refill();
        cache_ <<= n;
        count_ -= n;
    }
    uint32_t Read(int n) {
        if (n == 0) return 0;
        if (count_ < n) Refill();
        return TakeUnchecked(n);
    }
    bool ReadBit() { return Read(1) != 0; }

    // For tight loops: EnsureBits(n) once (n up to 57), then Take up to n bits in total
    // without further checks.
    void EnsureBits(int n) {
        if (count_ < n) Refill();
    }
    uint32_t PeekUnchecked(int n) const { return static_cast<uint32_t>(cache_ >> (64 - n)); }
    void SkipUnchecked(int n) {
        cache_ <<= n;
        count_ -= n;
    }
    uint32_t TakeUnchecked(int n) {
        const uint32_t value = PeekUnchecked(n);
        SkipUnchecked(n);
        return value;
    }

    size_t BitPosition() const { return next_ * 8 - static_cast<size_t>(count_); }
    void SetBitPosition(size_t position) {
        next_ = position >> 3;
        cache_ = 0;
        count_ = 0;
        const int within = static_cast<int>(position & 7);
        if (within != 0) {
            Refill();
            Skip(within);
        }
    }
    size_t BitSize() const { return bytes_ * 8; }
    bool Overrun() const { return BitPosition() > bytes_ * 8; }

private:
    // Afterwards at least 57 bits are valid. Below them the cache may hold further bits of
    // the stream (the fast path loads 8 bytes at once), which the next load writes again.
    void Refill() {
        if (next_ + 8 <= bytes_) {
            uint64_t v;
            std::memcpy(&v, data_ + next_, 8);
            cache_ |= __builtin_bswap64(v) >> count_;
            const int bytes = (63 - count_) >> 3;
            next_ += static_cast<size_t>(bytes);
            count_ += bytes * 8;
            return;
        }
        while (count_ <= 56) {
            const uint64_t byte = next_ < bytes_ ? data_[next_] : 0;
            cache_ |= byte << (56 - count_);
            ++next_;
            count_ += 8;
        }
    }

    const uint8_t* data_;
    size_t bytes_;
    size_t next_ = 0;     // next byte to load
    uint64_t cache_ = 0;  // valid bits at the top
    int count_ = 0;       // number of valid bits
};

}  // namespace mpeg
