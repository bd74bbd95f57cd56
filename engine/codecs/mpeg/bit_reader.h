#pragma once
// Big-endian bit reader over a bounded buffer. Past the end it reads zeros instead of
// touching memory it does not own; Overrun() tells a caller that this happened.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace mpeg {

class BitReader {
public:
    BitReader(const uint8_t* data, size_t bytes) : data_(data), bytes_(bytes) {}

    // The next n bits (1..32) without consuming them.
    uint32_t Peek(int n) const {
        return static_cast<uint32_t>((Window() << (position_ & 7)) >> (64 - n));
    }
    void Skip(int n) { position_ += static_cast<size_t>(n); }
    uint32_t Read(int n) {
        if (n == 0) return 0;
        const uint32_t value = Peek(n);
        position_ += static_cast<size_t>(n);
        return value;
    }
    bool ReadBit() { return Read(1) != 0; }

    size_t BitPosition() const { return position_; }
    void SetBitPosition(size_t position) { position_ = position; }
    size_t BitSize() const { return bytes_ * 8; }
    bool Overrun() const { return position_ > bytes_ * 8; }

private:
    // 64 bits from the byte that holds the read position, zeros past the end.
    uint64_t Window() const {
        const size_t byte = position_ >> 3;
        uint64_t v = 0;
        if (byte + 8 <= bytes_) {
            std::memcpy(&v, data_ + byte, 8);
            return __builtin_bswap64(v);
        }
        for (size_t i = 0; i < 8; ++i) {
            v <<= 8;
            if (byte + i < bytes_) v |= data_[byte + i];
        }
        return v;
    }

    const uint8_t* data_;
    size_t bytes_;
    size_t position_ = 0;
};

}  // namespace mpeg
