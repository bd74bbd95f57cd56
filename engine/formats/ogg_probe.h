#pragma once
// Ogg page headers, as far as recognising and walking a file needs them (the
// decoders check the pages' checksums themselves).
#include <cstddef>
#include <cstdint>

namespace engine {

constexpr size_t kOggPageHeaderSize = 27;

struct OggPageHeader {
    uint8_t flags = 0;          // 0x01 continued packet, 0x02 first page, 0x04 last page
    uint64_t granule = 0;       // samples at the end of the last packet completed here
    bool granuleKnown = false;  // false: no packet ends on this page
    uint32_t serial = 0;
    int segments = 0;           // entries in the lacing table that follows
};

// Parses the 27 fixed bytes of a page header; false when they are none.
bool ParseOggPageHeader(const uint8_t* bytes, OggPageHeader& out);

// True when `head` starts with the first page of a logical stream whose first packet
// begins with `magic`.
bool OggFirstPacketStartsWith(const uint8_t* head, size_t size, const char* magic, size_t magicSize);

}  // namespace engine
