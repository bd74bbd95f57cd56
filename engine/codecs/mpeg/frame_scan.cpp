#include "mpeg/frame_scan.h"

namespace mpeg {
namespace {

// Layer I counts in four-byte slots, and no frame is smaller than its header and side
// information.
bool PlausibleFreeFormatSize(const FrameHeader& header, int bytes) {
    if (bytes < 40 || bytes > kMaxFreeFormatBytes) return false;
    return header.layer != 1 || bytes % 4 == 0;
}

}  // namespace

int FreeFormatDistance(const FrameHeader& h, const uint8_t* p, size_t available) {
    for (size_t offset = 40; offset + 4 <= available && offset <= kMaxFreeFormatBytes; ++offset) {
        FrameHeader next;
        if (ParseFrameHeader(p + offset, next) && SameStream(h, next) &&
            PlausibleFreeFormatSize(h, static_cast<int>(offset)))
            return static_cast<int>(offset);
    }
    return 0;
}

int FreeFormatSibling(const FrameHeader& h, int bytes, const FrameHeader& sibling) {
    const int unit = h.layer == 1 ? 4 : 1;
    return bytes - (h.padding ? unit : 0) + (sibling.padding ? unit : 0);
}

Confirmation ConfirmFrame(const FrameHeader& h, int bytes, const uint8_t* p, size_t available) {
    size_t next = static_cast<size_t>(bytes);
    for (int i = 0; i < 2; ++i) {
        FrameHeader following;
        if (next + 4 > available) return Confirmation::Undecided;
        if (!ParseFrameHeader(p + next, following) || !SameStream(h, following)) return Confirmation::Rejected;
        next += static_cast<size_t>(following.bitrateIndex != 0 ? following.frameBytes
                                                                : FreeFormatSibling(h, bytes, following));
    }
    return Confirmation::Confirmed;
}

int FrameAt(const uint8_t* data, size_t size, size_t pos, const FrameHeader* stream, bool confirm,
            FrameHeader& h) {
    if (pos + 4 > size || !ParseFrameHeader(data + pos, h)) return 0;
    if (stream != nullptr && !SameStream(h, *stream)) return 0;
    const int bytes = h.frameBytes != 0 ? h.frameBytes : FreeFormatDistance(h, data + pos, size - pos);
    if (bytes == 0 || pos + static_cast<size_t>(bytes) > size) return 0;
    if (confirm && ConfirmFrame(h, bytes, data + pos, size - pos) == Confirmation::Rejected) return 0;
    return bytes;
}

size_t FindFrame(const uint8_t* data, size_t size, size_t pos, const FrameHeader* stream, FrameHeader& header,
                 int& frameBytes) {
    for (; pos + 4 <= size; ++pos) {
        frameBytes = FrameAt(data, size, pos, stream, true, header);
        if (frameBytes > 0) return pos;
    }
    frameBytes = 0;
    return size;
}

size_t NextFrame(const uint8_t* data, size_t size, size_t pos, const FrameHeader& stream, FrameHeader& header,
                 int& frameBytes) {
    frameBytes = FrameAt(data, size, pos, &stream, false, header);
    if (frameBytes > 0) return pos;
    return FindFrame(data, size, pos, &stream, header, frameBytes);
}

}  // namespace mpeg
