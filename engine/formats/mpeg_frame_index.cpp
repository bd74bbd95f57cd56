#include "formats/mpeg_frame_index.h"

#include <algorithm>

namespace engine {
namespace {

// Read window by window, with room for a frame across each edge.
constexpr uint64_t kIndexWindow = 256 * 1024;
constexpr uint64_t kIndexOverlap = 64 * 1024;
constexpr uint64_t kMaxIndexedBytes = 1ull << 30;

}  // namespace

MpegFrameIndex IndexMpegFrames(Reader& reader, const MpegRegion& region, const mpeg::StreamInfo& info) {
    const uint64_t total = region.audioEnd - region.audioStart;
    if (total > kMaxIndexedBytes) return {};
    MpegFrameIndex index;
    std::vector<uint8_t> window;
    uint64_t pos = info.audioOffset;
    mpeg::StreamInfo local = info;
    local.audioOffset = 0;  // each window is scanned from its start
    while (pos < total) {
        const uint64_t length = std::min(total - pos, kIndexWindow + kIndexOverlap);
        window.resize(static_cast<size_t>(length));
        if (!reader.Seek(region.audioStart + pos) || !ReadExact(reader, window.data(), window.size())) return {};
        const bool last = pos + length == total;
        uint64_t next = pos + kIndexWindow;
        for (uint64_t found : mpeg::ScanFrames(window.data(), window.size(), local)) {
            if (!last && found >= kIndexWindow) {  // the next window starts with this frame
                next = pos + found;
                break;
            }
            if (index.frames++ % kFrameIndexStep == 0) index.offsets.push_back(pos + found);
        }
        if (last) break;
        pos = next;
    }
    return index;
}

}  // namespace engine
