#pragma once
// A part of another reader seen as a whole source: offset 0 is `start`, and the end
// comes after `length` bytes or where the source ends. Lets a decoder for a bare format
// read audio held in a container's chunk. Over a stream its size stays unknown.
#include <memory>

#include "io/reader.h"

namespace engine {

class WindowReader : public Reader {
public:
    WindowReader(std::unique_ptr<Reader> inner, uint64_t start, uint64_t length);

    int64_t Read(void* buffer, size_t count) override;
    bool Seek(uint64_t offset) override;
    uint64_t Tell() const override;
    int64_t Size() const override;
    bool CanSeek() const override { return inner_->CanSeek(); }

    // Gives the source back (the window is of no use after it).
    std::unique_ptr<Reader> Release() { return std::move(inner_); }

private:
    std::unique_ptr<Reader> inner_;
    uint64_t start_;
    uint64_t length_;
};

}  // namespace engine
