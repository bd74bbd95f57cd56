#include "io/window_reader.h"

#include <algorithm>

namespace engine {

WindowReader::WindowReader(std::unique_ptr<Reader> inner, uint64_t start, uint64_t length)
    : inner_(std::move(inner)), start_(start), length_(length) {
    // The window never reaches past the source's end.
    const int64_t size = inner_->Size();
    if (size >= 0) length_ = std::min(length_, static_cast<uint64_t>(size) > start_ ? size - start_ : 0);
}

int64_t WindowReader::Read(void* buffer, size_t count) {
    const uint64_t position = Tell();
    if (position >= length_) return 0;
    return inner_->Read(buffer, static_cast<size_t>(std::min<uint64_t>(count, length_ - position)));
}

bool WindowReader::Seek(uint64_t offset) {
    return offset <= length_ && inner_->Seek(start_ + offset);
}

uint64_t WindowReader::Tell() const {
    const uint64_t at = inner_->Tell();
    return at > start_ ? at - start_ : 0;
}

int64_t WindowReader::Size() const {
    return inner_->Size() < 0 ? -1 : static_cast<int64_t>(length_);  // a stream stays one
}

}  // namespace engine
