#include "crc.h"

namespace flac {
namespace {

struct Crc8Table {
    uint8_t entries[256] = {};
    constexpr Crc8Table() {
        for (unsigned i = 0; i < 256; ++i) {
            unsigned crc = i;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 0x80) ? (crc << 1) ^ 0x07 : crc << 1;
            entries[i] = uint8_t(crc);
        }
    }
};

// slices[k][x]: the CRC of byte x followed by k zero bytes. Eight bytes then cost eight
// independent lookups instead of a chain of eight dependent ones.
struct Crc16Tables {
    uint16_t slices[8][256] = {};
    constexpr Crc16Tables() {
        for (unsigned i = 0; i < 256; ++i) {
            unsigned crc = i << 8;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 0x8000) ? (crc << 1) ^ 0x8005 : crc << 1;
            slices[0][i] = uint16_t(crc);
        }
        for (int k = 1; k < 8; ++k)
            for (unsigned i = 0; i < 256; ++i) {
                unsigned prev = slices[k - 1][i];
                slices[k][i] = uint16_t((prev << 8) ^ slices[0][prev >> 8]);
            }
    }
};

constexpr Crc8Table kCrc8;
constexpr Crc16Tables kCrc16;

}  // namespace

uint8_t Crc8(const uint8_t* data, size_t size) {
    uint8_t crc = 0;
    for (size_t i = 0; i < size; ++i)
        crc = kCrc8.entries[crc ^ data[i]];
    return crc;
}

uint16_t Crc16(const uint8_t* data, size_t size) {
    const auto& t = kCrc16.slices;
    unsigned crc = 0;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        const uint8_t* p = data + i;
        crc = t[7][p[0] ^ (crc >> 8)] ^ t[6][p[1] ^ (crc & 0xFF)] ^ t[5][p[2]] ^ t[4][p[3]] ^
              t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; i < size; ++i)
        crc = ((crc << 8) ^ t[0][(crc >> 8) ^ data[i]]) & 0xFFFF;
    return uint16_t(crc);
}

}  // namespace flac
