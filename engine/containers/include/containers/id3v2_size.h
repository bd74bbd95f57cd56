#pragma once
// How many bytes an ID3v2 tag takes, judged from its 10-byte header. Everything that skips
// or reads such a tag (MPEG, FLAC, the tag reader, the format probes) asks here.
#include <cstddef>
#include <cstdint>

namespace container {

constexpr size_t kId3v2HeaderSize = 10;

// Whole size of the tag at data[0] (header, body and a version 2.4 footer), or 0 when the
// bytes are no ID3v2 header: "ID3", version 2 to 4, a revision other than 0xFF, and a
// size of four 7-bit bytes.
size_t Id3v2TagSize(const uint8_t* data, size_t size);

// The 28-bit number in four bytes of 7 bits ("sync-safe").
uint32_t SyncSafe32(const uint8_t* p);

}  // namespace container
