#include "containers/ogg_page.h"

#include <cstring>

#include "containers/endian.h"

namespace container {
namespace {

// The page checksum: CRC-32, polynomial 0x04C11DB7, most significant bit first, from 0.
struct Crc32Table {
    uint32_t entries[256] = {};
    constexpr Crc32Table() {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t crc = i << 24;
            for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
            entries[i] = crc;
        }
    }
};
constexpr Crc32Table kCrc32;

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i) crc = (crc << 8) ^ kCrc32.entries[(crc >> 24) ^ data[i]];
    return crc;
}

bool IsCapture(const uint8_t* p) { return std::memcmp(p, "OggS", 4) == 0; }

}  // namespace

OggParse ParseOggPageHeader(const uint8_t* data, size_t size, OggPage& page) {
    if (size < kOggHeaderBytes) return size >= 4 && !IsCapture(data) ? OggParse::kBad : OggParse::kNeedMoreData;
    if (!IsCapture(data) || data[4] != 0) return OggParse::kBad;
    page.flags = data[5];
    page.granule = Le64(data + 6);
    page.serial = Le32(data + 14);
    page.sequence = Le32(data + 18);
    page.segments = data[26];
    if (size < kOggHeaderBytes + page.segments) return OggParse::kNeedMoreData;
    page.lacing = data + kOggHeaderBytes;
    page.bodyBytes = 0;
    for (unsigned i = 0; i < page.segments; ++i) page.bodyBytes += page.lacing[i];
    page.body = page.lacing + page.segments;
    page.totalBytes = kOggHeaderBytes + page.segments + page.bodyBytes;
    return OggParse::kOk;
}

OggParse ParseOggPage(const uint8_t* data, size_t size, OggPage& page) {
    const OggParse header = ParseOggPageHeader(data, size, page);
    if (header != OggParse::kOk) return header;
    if (size < page.totalBytes) return OggParse::kNeedMoreData;
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    return OggParse::kOk;
#else
    return OggPageCrcMatches(data, page.totalBytes) ? OggParse::kOk : OggParse::kBad;
#endif
}

bool OggPageCrcMatches(const uint8_t* data, size_t totalBytes) {
    // The checksum is computed with its own field taken as zero.
    static const uint8_t kZeros[4] = {};
    uint32_t crc = Crc32(0, data, 22);
    crc = Crc32(crc, kZeros, 4);
    crc = Crc32(crc, data + 26, totalBytes - 26);
    return crc == Le32(data + 22);
}

size_t NextOggCapture(const uint8_t* data, size_t size) {
    for (size_t i = 1; i + 4 <= size; ++i) {
        const void* hit = std::memchr(data + i, 'O', size - i - 3);
        if (!hit) break;
        i = size_t(static_cast<const uint8_t*>(hit) - data);
        if (IsCapture(data + i)) return i;
    }
    return size >= 4 ? size - 3 : (size ? 1 : 0);
}

}  // namespace container
