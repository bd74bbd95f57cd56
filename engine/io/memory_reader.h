#pragma once
#include <vector>

#include "io/reader.h"

namespace engine {

// Reads from a byte range: either borrowed (the caller keeps it alive) or owned.
class MemoryReader : public Reader {
public:
    MemoryReader(const void* data, size_t size);
    explicit MemoryReader(std::vector<uint8_t> owned);

    int64_t Read(void* buffer, size_t count) override;
    bool Seek(uint64_t offset) override;
    uint64_t Tell() const override { return position_; }
    int64_t Size() const override { return static_cast<int64_t>(size_); }
    bool CanSeek() const override { return true; }

private:
    std::vector<uint8_t> owned_;
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

}  // namespace engine
