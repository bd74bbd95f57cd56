#include "io/memory_reader.h"

#include <cstring>

namespace engine {

MemoryReader::MemoryReader(const void* data, size_t size)
    : data_(static_cast<const uint8_t*>(data)), size_(data ? size : 0) {}

MemoryReader::MemoryReader(std::vector<uint8_t> owned)
    : owned_(std::move(owned)), data_(owned_.data()), size_(owned_.size()) {}

int64_t MemoryReader::Read(void* buffer, size_t count) {
    size_t left = size_ - position_;
    size_t n = count < left ? count : left;
    if (n > 0) std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    return static_cast<int64_t>(n);
}

bool MemoryReader::Seek(uint64_t offset) {
    if (offset > size_) return false;
    position_ = static_cast<size_t>(offset);
    return true;
}

}  // namespace engine
