#include "tags/ape_tag.h"

#include <cstring>

#include "containers/endian.h"

namespace engine {

using container::Le32;

uint64_t ApeTagSize(const uint8_t* footer, uint64_t available) {
    if (std::memcmp(footer, "APETAGEX", 8) != 0) return 0;
    const uint32_t version = Le32(footer + 8);
    if (version != 1000 && version != 2000) return 0;
    // The size counts the items and the footer, not the header.
    uint64_t size = Le32(footer + 12);
    if (size < kApeFooterSize) return 0;
    const uint32_t flags = Le32(footer + 20);
    if (flags & 0x80000000u) size += kApeFooterSize;  // a header in front as well
    return size <= available ? size : 0;
}

}  // namespace engine
