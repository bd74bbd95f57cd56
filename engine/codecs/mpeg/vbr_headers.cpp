// The headers that encoders put in a silent first frame: Xing/Info (with the LAME tag) and
// VBRI, and the size of an ID3v2 tag in front of the frames.
#include <cstring>

#include "containers/endian.h"
#include "containers/id3v2_size.h"
#include "layer3_side_info.h"
#include "layers.h"
#include "mpeg/mpeg_stream.h"

namespace mpeg {
namespace {

using container::Be16;
using container::Be32;

constexpr size_t kVbriOffset = 36;

// Offset of the Xing/Info tag: right after the side information. Encoders that protect
// their frames with a CRC still put it where it would be without one.
size_t XingOffset(const uint8_t* frame, size_t frameBytes, const FrameHeader& h) {
    const size_t plain = static_cast<size_t>(4 + SideInfoBytes(h));
    if (!h.hasCrc || plain + 4 > frameBytes) return plain;
    const bool tagged = std::memcmp(frame + plain, "Xing", 4) == 0 || std::memcmp(frame + plain, "Info", 4) == 0;
    return tagged ? plain : plain + 2;
}

}  // namespace

bool ParseXing(const uint8_t* frame, size_t frameBytes, XingInfo& out) {
    out = XingInfo{};
    FrameHeader h;
    if (frameBytes < 4 || !ParseFrameHeader(frame, h) || h.layer != 3) return false;
    size_t p = XingOffset(frame, frameBytes, h);
    if (p + 8 > frameBytes) return false;
    const bool xing = std::memcmp(frame + p, "Xing", 4) == 0;
    const bool info = std::memcmp(frame + p, "Info", 4) == 0;
    if (!xing && !info) return false;
    const uint32_t flags = Be32(frame + p + 4);
    p += 8;
    out.present = true;
    out.isInfo = info;
    if (flags & 1) {
        if (p + 4 > frameBytes) return true;
        out.frames = Be32(frame + p);
        p += 4;
    }
    if (flags & 2) {
        if (p + 4 > frameBytes) return true;
        out.bytes = Be32(frame + p);
        p += 4;
    }
    if (flags & 4) {
        if (p + 100 > frameBytes) return true;
        std::memcpy(out.toc, frame + p, 100);
        out.hasToc = true;
        p += 100;
    }
    if (flags & 8) p += 4;
    // The LAME tag: encoder name (9 bytes), then at 21 the 12-bit delay and padding.
    if (p + 24 > frameBytes) return true;
    const uint8_t* lame = frame + p;
    if (std::memcmp(lame, "LAME", 4) != 0 && std::memcmp(lame, "Lavc", 4) != 0 &&
        std::memcmp(lame, "Lavf", 4) != 0)
        return true;
    out.hasLameTag = true;
    out.encoderDelay = (lame[21] << 4) | (lame[22] >> 4);
    out.encoderPadding = ((lame[22] & 15) << 8) | lame[23];
    return true;
}

bool ParseVbri(const uint8_t* frame, size_t frameBytes, VbriInfo& out) {
    out = VbriInfo{};
    FrameHeader h;
    if (frameBytes < 4 || !ParseFrameHeader(frame, h) || h.layer != 3) return false;
    const size_t p = kVbriOffset;
    if (p + 26 > frameBytes || std::memcmp(frame + p, "VBRI", 4) != 0) return false;
    out.present = true;
    out.bytes = Be32(frame + p + 10);
    out.frames = Be32(frame + p + 14);
    const uint32_t entries = Be16(frame + p + 18);
    const uint32_t scale = Be16(frame + p + 20);
    const int entrySize = static_cast<int>(Be16(frame + p + 22));
    out.framesPerEntry = Be16(frame + p + 24);
    if (entrySize < 1 || entrySize > 4) return true;
    const size_t tableBytes = static_cast<size_t>(entries) * static_cast<size_t>(entrySize);
    if (p + 26 + tableBytes > frameBytes) return true;
    out.entryBytes.reserve(entries);
    for (uint32_t i = 0; i < entries; ++i)
        out.entryBytes.push_back(container::BeN(frame + p + 26 + i * static_cast<size_t>(entrySize), entrySize) * scale);
    return true;
}

bool IsVbrInfoFrame(const uint8_t* frame, size_t frameBytes) {
    FrameHeader h;
    if (frameBytes < 4 || !ParseFrameHeader(frame, h) || h.layer != 3) return false;
    const size_t p = XingOffset(frame, frameBytes, h);
    if (p + 4 <= frameBytes && (std::memcmp(frame + p, "Xing", 4) == 0 || std::memcmp(frame + p, "Info", 4) == 0))
        return true;
    return kVbriOffset + 4 <= frameBytes && std::memcmp(frame + kVbriOffset, "VBRI", 4) == 0;
}

size_t Id3v2Size(const uint8_t* data, size_t size) { return container::Id3v2TagSize(data, size); }

}  // namespace mpeg
