#pragma once
// The two frame checksums: CRC-8 (polynomial 0x07) over the frame header and CRC-16
// (polynomial 0x8005) over the whole frame, both most significant bit first, starting at 0.
#include <cstddef>
#include <cstdint>

namespace flac {

uint8_t Crc8(const uint8_t* data, size_t size);
uint16_t Crc16(const uint8_t* data, size_t size);

}  // namespace flac
