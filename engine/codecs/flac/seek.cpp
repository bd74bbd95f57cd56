// From a sample number to the byte offset of the frame that holds it.
#include <algorithm>
#include <cstring>

#include "flac/flac.h"
#include "frame_limits.h"

namespace flac {
namespace {

constexpr size_t kWindowBytes = 64 * 1024;
// Below this range the search steps from frame to frame instead of halving.
constexpr uint64_t kLinearBytes = 16 * 1024;

struct FoundFrame {
    uint64_t offset = 0;
    uint64_t firstSample = 0;
    uint32_t blockSize = 0;
    uint64_t bytes = 0;
};

// Reads windows of the source and confirms candidate frames by decoding them whole, so
// a sync pattern inside audio data is not mistaken for a frame.
class FrameFinder {
public:
    FrameFinder(ByteSource& source, const StreamInfo& info) : source_(source), info_(info) {}

    // The first frame that starts in [from, limit).
    bool Find(uint64_t from, uint64_t limit, FoundFrame& out) {
        size_t windowSize = std::max(kWindowBytes, size_t(info_.maxFrameSize) * 2);
        uint64_t pos = from;
        while (pos < limit) {
            size_t n = 0;
            const uint8_t* bytes = View(pos, windowSize, n);
            if (n < 2)
                return false;
            uint64_t next = pos + n - 1;  // the last byte may begin a sync code
            bool reread = false;
            for (size_t i = 0; i + 1 < n && pos + i < limit; ++i) {
                if (bytes[i] != 0xFF || (bytes[i + 1] & 0xFE) != 0xF8)
                    continue;
                Result r = DecodeFrame(bytes + i, n - i, info_, scratch_, frame_);
                if (r == Result::Ok && Plausible(frame_.header)) {
                    out = {pos + i, frame_.header.firstSample, frame_.header.blockSize, frame_.frameBytes};
                    return true;
                }
                if (r != Result::NeedMoreData || windowAtEnd_)
                    continue;
                if (n - i >= windowSize) {
                    if (windowSize == kMaxFrameBytes)
                        continue;  // larger than any valid frame
                    windowSize = std::min(windowSize * 2, kMaxFrameBytes);
                }
                next = pos + i;  // read again from the candidate
                windowLength_ = 0;
                reread = true;
                break;
            }
            if (!reread && windowAtEnd_)
                return false;
            pos = next;
        }
        return false;
    }

private:
    bool Plausible(const FrameHeader& h) const {
        if (info_.totalSamples && h.firstSample >= info_.totalSamples)
            return false;
        return h.blockSize <= std::max<uint32_t>(info_.maxBlockSize, 16);
    }

    ByteSource& source_;
    const StreamInfo& info_;
    // Bytes from pos on: from the last window while a good part of one is left there
    // (steps from frame to frame need no new read), else read afresh.
    const uint8_t* View(uint64_t pos, size_t want, size_t& n) {
        if (pos >= windowStart_ && pos - windowStart_ < windowLength_) {
            size_t have = windowLength_ - size_t(pos - windowStart_);
            if (have >= want / 4 || windowAtEnd_) {
                n = have;
                return window_.data() + (pos - windowStart_);
            }
        }
        window_.resize(want);
        windowLength_ = source_.ReadAt(pos, window_.data(), want);
        windowStart_ = pos;
        windowAtEnd_ = windowLength_ < want;
        n = windowLength_;
        return window_.data();
    }

    std::vector<uint8_t> window_;
    uint64_t windowStart_ = 0;
    size_t windowLength_ = 0;
    bool windowAtEnd_ = false;
    FrameScratch scratch_;
    DecodedFrame frame_;
};

// Bisection over [lo, hi): frames starting at lo or later hold samples from lo's frame on,
// frames starting at hi or later start after the target.
Result Bisect(FrameFinder& finder, uint64_t lo, uint64_t hi, uint64_t target, SeekTarget& out) {
    while (lo < hi) {
        uint64_t probe = hi - lo > kLinearBytes ? lo + (hi - lo) / 2 : lo;
        FoundFrame f;
        if (!finder.Find(probe, hi, f) || target < f.firstSample) {
            if (probe == lo)
                return Result::NotFound;
            hi = probe;
            continue;
        }
        if (target - f.firstSample < f.blockSize) {
            out = {f.offset, f.firstSample};
            return Result::Ok;
        }
        lo = f.offset + f.bytes;
    }
    return Result::NotFound;
}

}  // namespace

size_t MemorySource::ReadAt(uint64_t offset, uint8_t* dst, size_t size) {
    if (offset >= size_)
        return 0;
    size_t n = std::min<uint64_t>(size, size_ - offset);
    std::memcpy(dst, data_ + offset, n);
    return n;
}

Result FindSeekTarget(ByteSource& source, const Metadata& meta, uint64_t targetSample, SeekTarget& out) {
    const uint64_t dataEnd = source.Size();
    if (meta.info.totalSamples && targetSample >= meta.info.totalSamples) {
        out = {dataEnd, meta.info.totalSamples};
        return Result::Ok;
    }
    const uint64_t first = meta.audioOffset;
    if (first >= dataEnd)
        return Result::NotFound;
    FrameFinder finder(source, meta.info);

    // The seek table brackets the target; it is a hint only, so a bracket that fails is
    // followed by a search of the whole data.
    uint64_t lo = first, hi = dataEnd;
    for (const SeekPoint& point : meta.seekTable) {
        if (point.byteOffset >= dataEnd - first)
            break;
        uint64_t at = first + point.byteOffset;
        if (point.sample <= targetSample)
            lo = at;
        else {
            hi = at;
            break;
        }
    }
    if (lo != first || hi != dataEnd) {
        if (Bisect(finder, lo, hi, targetSample, out) == Result::Ok)
            return Result::Ok;
    }
    return Bisect(finder, first, dataEnd, targetSample, out);
}

}  // namespace flac
