#pragma once
// Undoes HTTP/1.1 chunked transfer encoding as bytes arrive in any pieces.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace engine {

class ChunkedDecoder {
public:
    // Appends the payload found in data to out; false once the framing is broken.
    bool Feed(const uint8_t* data, size_t size, std::vector<uint8_t>& out);
    // The last (empty) chunk and its trailer have been read.
    bool Finished() const { return state_ == State::kDone; }

private:
    enum class State { kSize, kExtension, kData, kDataEnd, kTrailer, kDone, kBroken };
    bool SizeLineEnded();

    State state_ = State::kSize;
    uint64_t size_ = 0;
    int sizeDigits_ = 0;
    size_t lineBytes_ = 0;  // length of the current size or trailer line
};

}  // namespace engine
