#pragma once
// Ogg pages from bytes: the fixed header, the lacing table and the page checksum.
// Every Ogg reader in the engine (recognition, Ogg FLAC, Vorbis files, live streams)
// goes through these, so a damaged page is judged the same way everywhere.
#include <cstddef>
#include <cstdint>

namespace container {

constexpr size_t kOggHeaderBytes = 27;
constexpr size_t kOggMaxPageBytes = kOggHeaderBytes + 255 + 255 * 255;
constexpr uint8_t kOggContinued = 1;  // the first packet began on an earlier page
constexpr uint8_t kOggFirst = 2;      // first page of a logical stream
constexpr uint8_t kOggLast = 4;       // last page of a logical stream
constexpr uint64_t kOggNoGranule = ~uint64_t(0);  // no packet ends on the page

struct OggPage {
    uint8_t flags = 0;
    uint64_t granule = kOggNoGranule;  // samples at the end of the last packet completed here
    uint32_t serial = 0;
    uint32_t sequence = 0;
    unsigned segments = 0;
    const uint8_t* lacing = nullptr;   // `segments` lacing values
    const uint8_t* body = nullptr;
    size_t bodyBytes = 0;
    size_t totalBytes = 0;             // header, lacing and body
};

enum class OggParse { kOk, kNeedMoreData, kBad };

// The header and lacing table at data[0]; the body need not be there yet (its size is in
// `page`). kBad when data[0] starts no page.
OggParse ParseOggPageHeader(const uint8_t* data, size_t size, OggPage& page);

// A whole page at data[0] with its checksum checked. kBad: no page, or a damaged one;
// the caller goes on at NextOggCapture.
OggParse ParseOggPage(const uint8_t* data, size_t size, OggPage& page);

// True when the checksum of the whole page at data[0] (`totalBytes` long) is right.
bool OggPageCrcMatches(const uint8_t* data, size_t totalBytes);

// Offset of the next "OggS" after data[0], or the offset from which one could still begin.
size_t NextOggCapture(const uint8_t* data, size_t size);

}  // namespace container
