#pragma once
// Bounds-checked little- and big-endian reads for the loaders: a read past the end gives 0,
// so a cut file reads as zeros and never leaves the buffer.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tracker {

struct Bytes {
    const uint8_t* data = nullptr;
    size_t size = 0;

    bool Has(size_t offset, size_t count) const { return offset <= size && count <= size - offset; }
    // Bytes from offset to the end (0 past it).
    size_t Left(size_t offset) const { return offset < size ? size - offset : 0; }
    uint8_t U8(size_t at) const { return at < size ? data[at] : 0; }
    uint16_t U16le(size_t at) const { return static_cast<uint16_t>(U8(at) | U8(at + 1) << 8); }
    uint16_t U16be(size_t at) const { return static_cast<uint16_t>(U8(at) << 8 | U8(at + 1)); }
    uint32_t U32le(size_t at) const { return U16le(at) | static_cast<uint32_t>(U16le(at + 2)) << 16; }
    bool Matches(size_t at, const char* text, size_t count) const;
};

// A fixed-size text field: up to the first zero, trailing spaces dropped, control
// characters turned into spaces. Bytes above 0x7F are kept (the player's tags decide).
// IT shows zero bytes inside a name as spaces (names carry messages there): `zerosAsSpaces`.
std::string TextField(const Bytes& in, size_t at, size_t count, bool zerosAsSpaces = false);

}  // namespace tracker
