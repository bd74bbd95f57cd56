#include "riff_chunks.h"

#include <algorithm>

namespace midi {

bool ChunkWalker::Next(Chunk& out) {
    if (pos_ + 8 > size_) return false;
    out = Chunk();
    std::memcpy(out.id, data_ + pos_, 4);
    const size_t declared = Le32(data_ + pos_ + 4);
    const size_t size = std::min(declared, size_ - pos_ - 8);
    out.data = data_ + pos_ + 8;
    out.size = size;
    if ((out.Is("LIST") || out.Is("RIFF")) && size >= 4) {
        std::memcpy(out.form, out.data, 4);
        out.data += 4;
        out.size -= 4;
    }
    pos_ += 8 + size + (size & 1);
    return true;
}

}  // namespace midi
