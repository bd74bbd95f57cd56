#include "ogg_page.h"

#include <cstring>

namespace flac {
namespace {

// The page checksum: CRC-32, polynomial 0x04C11DB7, most significant bit first, from 0.
struct Crc32Table {
    uint32_t entries[256] = {};
    constexpr Crc32Table() {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t crc = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
            entries[i] = crc;
        }
    }
};
constexpr Crc32Table kCrc32;

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size) {
    for (size_t i = 0; i < size; ++i)
        crc = (crc << 8) ^ kCrc32.entries[(crc >> 24) ^ data[i]];
    return crc;
}

uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool IsCapture(const uint8_t* p) { return p[0] == 'O' && p[1] == 'g' && p[2] == 'g' && p[3] == 'S'; }

}  // namespace

Result ParseOggPage(const uint8_t* data, size_t size, OggPage& page) {
    if (size < 27)
        return size >= 4 && !IsCapture(data) ? Result::BadFrame : Result::NeedMoreData;
    if (!IsCapture(data) || data[4] != 0)
        return Result::BadFrame;
    page.flags = data[5];
    page.granule = uint64_t(LittleEndian32(data + 6)) | uint64_t(LittleEndian32(data + 10)) << 32;
    page.serial = LittleEndian32(data + 14);
    page.sequence = LittleEndian32(data + 18);
    page.segments = data[26];
    size_t header = 27 + page.segments;
    if (size < header)
        return Result::NeedMoreData;
    page.lacing = data + 27;
    size_t body = 0;
    for (unsigned i = 0; i < page.segments; ++i)
        body += page.lacing[i];
    page.totalBytes = header + body;
    if (size < page.totalBytes)
        return Result::NeedMoreData;
    page.body = data + header;

    // The checksum is computed with its own field taken as zero.
    static const uint8_t kZeros[4] = {};
    uint32_t crc = Crc32(0, data, 22);
    crc = Crc32(crc, kZeros, 4);
    crc = Crc32(crc, data + 26, page.totalBytes - 26);
    return crc == LittleEndian32(data + 22) ? Result::Ok : Result::BadFrame;
}

size_t NextOggCapture(const uint8_t* data, size_t size) {
    for (size_t i = 1; i + 4 <= size; ++i) {
        const void* hit = std::memchr(data + i, 'O', size - i - 3);
        if (!hit)
            break;
        i = size_t(static_cast<const uint8_t*>(hit) - data);
        if (IsCapture(data + i))
            return i;
    }
    return size >= 4 ? size - 3 : (size ? 1 : 0);
}

}  // namespace flac
