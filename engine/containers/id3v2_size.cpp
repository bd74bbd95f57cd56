#include "containers/id3v2_size.h"

namespace container {

uint32_t SyncSafe32(const uint8_t* p) {
    return (uint32_t(p[0] & 0x7F) << 21) | (uint32_t(p[1] & 0x7F) << 14) | (uint32_t(p[2] & 0x7F) << 7) |
           uint32_t(p[3] & 0x7F);
}

size_t Id3v2TagSize(const uint8_t* data, size_t size) {
    if (size < kId3v2HeaderSize || data[0] != 'I' || data[1] != 'D' || data[2] != '3') return 0;
    const uint8_t version = data[3], revision = data[4], flags = data[5];
    if (version < 2 || version > 4 || revision == 0xFF) return 0;
    if ((data[6] | data[7] | data[8] | data[9]) & 0x80) return 0;
    const bool footer = version == 4 && (flags & 0x10);
    return kId3v2HeaderSize + SyncSafe32(data + 6) + (footer ? kId3v2HeaderSize : 0);
}

}  // namespace container
