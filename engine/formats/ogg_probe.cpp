#include "formats/ogg_probe.h"

#include <cstring>

namespace engine {

bool ParseOggPageHeader(const uint8_t* p, OggPageHeader& out) {
    if (std::memcmp(p, "OggS", 4) != 0 || p[4] != 0) return false;
    out.flags = p[5];
    uint64_t granule = 0;
    for (int i = 7; i >= 0; --i) granule = granule << 8 | p[6 + i];
    out.granuleKnown = granule != ~uint64_t{0};
    out.granule = out.granuleKnown ? granule : 0;
    out.serial = uint32_t(p[14]) | uint32_t(p[15]) << 8 | uint32_t(p[16]) << 16 | uint32_t(p[17]) << 24;
    out.segments = p[26];
    return true;
}

bool OggFirstPacketStartsWith(const uint8_t* head, size_t size, const char* magic, size_t magicSize) {
    OggPageHeader page;
    if (size < kOggPageHeaderSize || !ParseOggPageHeader(head, page) || !(page.flags & 0x02)) return false;
    const size_t body = kOggPageHeaderSize + static_cast<size_t>(page.segments);
    return page.segments > 0 && size >= body + magicSize && std::memcmp(head + body, magic, magicSize) == 0;
}

}  // namespace engine
