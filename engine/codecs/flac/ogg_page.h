#pragma once
// One Ogg page: capture pattern, header fields, lacing values, CRC-32.
#include <cstddef>
#include <cstdint>

#include "flac/flac.h"

namespace flac {

struct OggPage {
    uint8_t flags = 0;  // 1: continues a packet, 2: first page, 4: last page
    uint64_t granule = 0;
    uint32_t serial = 0;
    uint32_t sequence = 0;
    const uint8_t* lacing = nullptr;
    unsigned segments = 0;
    const uint8_t* body = nullptr;
    size_t totalBytes = 0;  // header, lacing and body
};

constexpr uint8_t kOggContinued = 1;
constexpr uint8_t kOggFirst = 2;
constexpr uint8_t kOggLast = 4;
constexpr uint64_t kOggNoGranule = ~uint64_t(0);

// Ok, NeedMoreData when the page is cut off, BadFrame when data[0] starts no valid page.
Result ParseOggPage(const uint8_t* data, size_t size, OggPage& page);

// Offset of the next "OggS" after data[0], or the offset from which one could still begin.
size_t NextOggCapture(const uint8_t* data, size_t size);

}  // namespace flac
