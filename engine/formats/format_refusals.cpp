// Formats the library knows but does not play: sound banks ("FSB3", "FSB4", "FSB5") and
// XMA (RIFF WAVE with format tag 0x165 or 0x166, or an "XMA2" chunk). They are recognised
// from the head alone and refused, so that no guessing format (MPEG frame search) reads on
// into them and plays what it happens to find.
#include <cstring>

#include "containers/endian.h"
#include "formats/compressed_formats.h"

namespace engine {
namespace {

constexpr uint16_t kTagXma = 0x165;
constexpr uint16_t kTagXma2 = 0x166;

bool IsXmaRiff(const uint8_t* head, size_t size) {
    if (size < 12 || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return false;
    size_t at = 12;
    while (at + 8 <= size) {
        const uint32_t chunk = container::Le32(head + at + 4);
        if (std::memcmp(head + at, "XMA2", 4) == 0) return true;
        if (std::memcmp(head + at, "fmt ", 4) == 0 && at + 10 <= size) {
            const uint16_t tag = container::Le16(head + at + 8);
            return tag == kTagXma || tag == kTagXma2;
        }
        if (chunk > size - at - 8) return false;  // the next chunk lies beyond the head
        at += 8 + chunk + (chunk & 1);
    }
    return false;
}

}  // namespace

int ProbeRefusedFormat(const uint8_t* head, size_t size) {
    const bool soundBank = size >= 4 && std::memcmp(head, "FSB", 3) == 0 && head[3] >= '3' && head[3] <= '5';
    // Above the WAV reader's 100: XMA is a RIFF WAVE too.
    return soundBank || IsXmaRiff(head, size) ? 101 : 0;
}

FMOD_RESULT RefuseFormat(std::unique_ptr<Reader>& reader, TagList&, OpenedSound&) {
    reader.reset();  // ends the search: no other candidate reads these files
    return FMOD_ERR_FORMAT;
}

}  // namespace engine
