// Recognising AAC files for the system's decoders: MP4/M4A by their "ftyp" box, ADTS by
// two frame headers in a row (sync 0xFFF, layer 0; the frame length leads to the next).
#include <cstring>

#include "formats/system_decoders.h"

namespace engine {
namespace {

bool IsAdtsHeader(const uint8_t* p) { return p[0] == 0xFF && (p[1] & 0xF6) == 0xF0 && (p[2] >> 2 & 15) < 13; }

size_t AdtsFrameLength(const uint8_t* p) { return (p[3] & 3u) << 11 | p[4] << 3 | p[5] >> 5; }

}  // namespace

int ProbeMp4(const uint8_t* head, size_t size) {
    return size >= 8 && std::memcmp(head + 4, "ftyp", 4) == 0 ? 100 : 0;
}

int ProbeAdts(const uint8_t* head, size_t size) {
    if (size < 7 || !IsAdtsHeader(head)) return 0;
    const size_t next = AdtsFrameLength(head);
    if (next < 7 || next + 7 > size) return 0;
    // Below the MPEG frame search's guesses' signatures, above nothing: layer 0 is no MPEG audio.
    return IsAdtsHeader(head + next) ? 60 : 0;
}

}  // namespace engine
