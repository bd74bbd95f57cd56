#include "io/head_replay_reader.h"

#include <algorithm>
#include <cstring>

namespace engine {

HeadReplayReader::HeadReplayReader(std::unique_ptr<Reader> inner, size_t keepBytes)
    : inner_(std::move(inner)), keep_(keepBytes) {}

int64_t HeadReplayReader::Read(void* buffer, size_t count) {
    if (position_ < head_.size()) {
        const size_t n = std::min<uint64_t>(count, head_.size() - position_);
        std::memcpy(buffer, head_.data() + position_, n);
        position_ += n;
        return static_cast<int64_t>(n);
    }
    const int64_t got = inner_->Read(buffer, count);
    if (got <= 0) return got;
    // Keep the bytes while the head is still being collected.
    if (innerPosition_ == head_.size() && head_.size() < keep_) {
        const size_t n = std::min<size_t>(static_cast<size_t>(got), keep_ - head_.size());
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        head_.insert(head_.end(), bytes, bytes + n);
    }
    innerPosition_ += static_cast<uint64_t>(got);
    position_ = innerPosition_;
    return got;
}

bool HeadReplayReader::Seek(uint64_t offset) {
    const bool headIntact = innerPosition_ == head_.size();
    if (headIntact && offset <= head_.size()) {
        position_ = offset;
        return true;
    }
    if (offset < innerPosition_) return false;  // those bytes are gone
    if (position_ < innerPosition_) {
        if (!headIntact) return false;
        position_ = innerPosition_;
    }
    uint8_t scratch[4096];
    while (position_ < offset) {
        const size_t step = std::min<uint64_t>(sizeof scratch, offset - position_);
        if (Read(scratch, step) <= 0) return false;
    }
    return true;
}

}  // namespace engine
