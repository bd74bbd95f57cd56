#pragma once
// Recognising an Ogg stream by the first packet of its first page.
#include <cstddef>
#include <cstdint>

namespace engine {

// True when `head` starts with the first page of a logical stream whose first packet
// begins with `magic`. A first page with a bad checksum is none; one longer than `head`
// is judged by its header and the bytes there are.
bool OggFirstPacketStartsWith(const uint8_t* head, size_t size, const char* magic, size_t magicSize);

}  // namespace engine
