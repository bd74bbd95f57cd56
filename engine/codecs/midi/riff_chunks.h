#pragma once
// Walking the chunks of a RIFF file, bounds-checked: a chunk longer than its parent ends
// with the parent.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace midi {

struct Chunk {
    char id[5] = {};
    char form[5] = {};  // for "RIFF" and "LIST": the type after the size
    const uint8_t* data = nullptr;  // after the form for lists
    size_t size = 0;
    bool Is(const char* name) const { return std::memcmp(id, name, 4) == 0; }
    bool IsList(const char* type) const { return (Is("LIST") || Is("RIFF")) && std::memcmp(form, type, 4) == 0; }
};

class ChunkWalker {
public:
    ChunkWalker(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Next(Chunk& out);

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

inline uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace midi
