#pragma once
// CD-Text: titles and performers of the disc (track 0) and of its tracks, from the
// 18-byte packs a drive returns. Only the first block (the first language) is read;
// packs whose checksum fails are passed over.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace engine {

struct CdText {
    std::map<int, std::string> titles;      // by track number, 0 for the disc
    std::map<int, std::string> performers;
};

CdText ParseCdText(const std::vector<uint8_t>& packs);
// The checksum a pack carries in its last two bytes (CRC-16/CCITT of the first 16, inverted).
uint16_t CdTextPackCrc(const uint8_t* pack);

}  // namespace engine
