#include "frame_scan.h"

namespace mpeg {

bool PlausibleFreeFormatSize(const FrameHeader& header, int bytes) {
    if (bytes < 40 || bytes > 4096) return false;
    return header.layer != 1 || bytes % 4 == 0;
}

int FrameAt(const uint8_t* data, size_t size, size_t pos, const FrameHeader* stream, bool confirm,
            FrameHeader& h) {
    if (pos + 4 > size || !ParseFrameHeader(data + pos, h)) return 0;
    if (stream != nullptr && !SameStream(h, *stream)) return 0;
    int bytes = h.frameBytes;
    FrameHeader next;
    if (bytes == 0) {
        for (size_t offset = 40; pos + offset + 4 <= size && offset <= 4096; ++offset) {
            if (ParseFrameHeader(data + pos + offset, next) && SameStream(h, next) &&
                PlausibleFreeFormatSize(h, static_cast<int>(offset))) {
                bytes = static_cast<int>(offset);
                break;
            }
        }
        if (bytes == 0) return 0;
    }
    if (pos + static_cast<size_t>(bytes) > size) return 0;
    // Confirmation: the next two headers agree, as far as the data goes.
    size_t following = pos + static_cast<size_t>(bytes);
    for (int i = 0; confirm && i < 2 && following + 4 <= size; ++i) {
        if (!ParseFrameHeader(data + following, next) || !SameStream(h, next)) return 0;
        const int unit = h.layer == 1 ? 4 : 1;
        const int nextBytes = next.frameBytes != 0 ? next.frameBytes
                                                   : bytes - (h.padding ? unit : 0) + (next.padding ? unit : 0);
        following += static_cast<size_t>(nextBytes);
    }
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
