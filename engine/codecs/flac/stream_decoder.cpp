// The push decoder: bytes come in pieces, frames go out one at a time.
#include <algorithm>
#include <cstring>

#include "flac/flac.h"
#include "frame_limits.h"

namespace flac {
namespace {

// Metadata beyond this (a huge picture, an absurd ID3 size) is refused rather than buffered.
constexpr size_t kMaxHeaderBytes = 64u << 20;

bool IsSync(const uint8_t* p) { return p[0] == 0xFF && (p[1] & 0xFE) == 0xF8; }

// Offset of the next possible frame start after p[0], or `size` when there is none; a final
// 0xFF stays, since its partner byte may still come.
size_t NextSync(const uint8_t* p, size_t size) {
    for (size_t i = 1; i < size;) {
        const void* hit = std::memchr(p + i, 0xFF, size - i);
        if (!hit)
            return size;
        i = size_t(static_cast<const uint8_t*>(hit) - p);
        if (i + 1 >= size || IsSync(p + i))
            return i;
        ++i;
    }
    return size;
}

}  // namespace

void StreamDecoder::Feed(const uint8_t* data, size_t size) {
    Compact();
    buffer_.insert(buffer_.end(), data, data + size);
}

void StreamDecoder::Compact() {
    if (readPos_ == 0 || readPos_ < buffer_.size() / 2)
        return;
    buffer_.erase(buffer_.begin(), buffer_.begin() + ptrdiff_t(readPos_));
    bufferStart_ += readPos_;
    readPos_ = 0;
}

Result StreamDecoder::ReadHeaders() {
    if (haveMetadata_)
        return Result::Ok;
    if (!inputFinished_ && buffer_.size() < needBytes_)
        return Result::NeedMoreData;
    Result r = ReadMetadata(buffer_.data(), buffer_.size(), meta_);
    if (r == Result::NeedMoreData) {
        if (inputFinished_)
            return buffer_.size() < 4 ? Result::NotFlac : Result::BadMetadata;
        if (meta_.audioOffset > kMaxHeaderBytes)
            return Result::BadMetadata;
        needBytes_ = size_t(meta_.audioOffset);
        return r;
    }
    if (r != Result::Ok)
        return r;
    haveMetadata_ = true;
    readPos_ = size_t(meta_.audioOffset);
    needBytes_ = 0;
    return Result::Ok;
}

Result StreamDecoder::NextFrame() {
    Result r = ReadHeaders();
    if (r != Result::Ok)
        return r;
    for (;;) {
        size_t avail = Buffered();
        if (avail < 2 || (!inputFinished_ && avail < needBytes_))
            return inputFinished_ ? Result::EndOfStream : Result::NeedMoreData;
        const uint8_t* p = buffer_.data() + readPos_;
        if (!IsSync(p)) {
            readPos_ += NextSync(p, avail);
            continue;
        }
        r = DecodeFrame(p, avail, meta_.info, scratch_, frame_);
        if (r == Result::Ok) {
            readPos_ += frame_.frameBytes;
            needBytes_ = 0;
            return r;
        }
        if (r == Result::NeedMoreData && !inputFinished_ && avail < kMaxFrameBytes) {
            // Try again once much more has come, so a large frame fed in small pieces
            // is not decoded over and over.
            needBytes_ = std::min(std::max(2 * avail, size_t(4096)), kMaxFrameBytes);
            return r;
        }
        // Damage (or a frame cut off by the end of the data): look for the next frame.
        ++skippedFrames_;
        readPos_ += NextSync(p, avail);
    }
}

void StreamDecoder::Restart(uint64_t byteOffset) {
    buffer_.clear();
    readPos_ = 0;
    bufferStart_ = byteOffset;
    needBytes_ = 0;
    inputFinished_ = false;
}

}  // namespace flac
