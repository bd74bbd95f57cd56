#include "net/chunked.h"

#include <algorithm>

namespace engine {
namespace {

constexpr size_t kMaxLineBytes = 4096;          // a size line with extensions, or a trailer line
constexpr uint64_t kMaxChunkBytes = 1ull << 40;  // anything larger is not a real stream

int HexValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool ChunkedDecoder::SizeLineEnded() {
    if (sizeDigits_ == 0) return false;
    sizeDigits_ = 0;
    lineBytes_ = 0;
    state_ = size_ == 0 ? State::kTrailer : State::kData;
    return true;
}

bool ChunkedDecoder::Feed(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    size_t i = 0;
    while (i < size) {
        switch (state_) {
        case State::kSize: {
            const uint8_t c = data[i++];
            const int digit = HexValue(c);
            if (digit >= 0) {
                size_ = size_ * 16 + static_cast<uint64_t>(digit);
                if (++sizeDigits_ > 11 || size_ > kMaxChunkBytes) state_ = State::kBroken;
            } else if (c == '\n') {
                if (!SizeLineEnded()) state_ = State::kBroken;
            } else if (c == ';' || c == ' ' || c == '\t' || c == '\r') {
                state_ = sizeDigits_ > 0 ? State::kExtension : State::kBroken;
            } else {
                state_ = State::kBroken;
            }
            break;
        }
        case State::kExtension:
            if (data[i++] == '\n') SizeLineEnded();
            else if (++lineBytes_ > kMaxLineBytes) state_ = State::kBroken;
            break;
        case State::kData: {
            const size_t run = static_cast<size_t>(std::min<uint64_t>(size_, size - i));
            out.insert(out.end(), data + i, data + i + run);
            i += run;
            size_ -= run;
            if (size_ == 0) state_ = State::kDataEnd;
            break;
        }
        case State::kDataEnd: {
            const uint8_t c = data[i++];
            if (c == '\n') state_ = State::kSize;
            else if (c != '\r') state_ = State::kBroken;
            break;
        }
        case State::kTrailer: {
            const uint8_t c = data[i++];
            if (c == '\n') {
                if (lineBytes_ == 0) state_ = State::kDone;
                lineBytes_ = 0;
            } else if (c != '\r' && ++lineBytes_ > kMaxLineBytes) {
                state_ = State::kBroken;
            }
            break;
        }
        case State::kDone:
            return true;  // bytes after the end are ignored
        case State::kBroken:
            return false;
        }
    }
    return state_ != State::kBroken;
}

}  // namespace engine
