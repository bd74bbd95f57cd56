#include "formats/ogg_probe.h"

#include <cstring>

#include "containers/ogg_page.h"

namespace engine {

bool OggFirstPacketStartsWith(const uint8_t* head, size_t size, const char* magic, size_t magicSize) {
    container::OggPage page;
    const container::OggParse whole = container::ParseOggPage(head, size, page);
    if (whole == container::OggParse::kBad) return false;
    if (whole == container::OggParse::kNeedMoreData &&
        container::ParseOggPageHeader(head, size, page) != container::OggParse::kOk)
        return false;
    const size_t bodyAt = static_cast<size_t>(page.body - head);
    return (page.flags & container::kOggFirst) && page.segments > 0 && size >= bodyAt + magicSize &&
           std::memcmp(page.body, magic, magicSize) == 0;
}

}  // namespace engine
