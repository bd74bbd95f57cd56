#include "containers/vorbis_comment.h"

#include "containers/endian.h"

namespace container {

bool ParseVorbisComments(const uint8_t* data, size_t size, VorbisComments& out) {
    out = VorbisComments{};
    if (size < 4) return false;
    const uint32_t vendor = Le32(data);
    if (vendor > size - 4 || size - 4 - vendor < 4) return false;
    out.vendor.assign(reinterpret_cast<const char*>(data + 4), vendor);
    size_t pos = 4 + vendor;
    const uint32_t count = Le32(data + pos);
    pos += 4;
    for (uint32_t i = 0; i < count; ++i) {
        if (size - pos < 4) return true;
        const uint32_t length = Le32(data + pos);
        pos += 4;
        if (length > size - pos) return true;
        out.fields.emplace_back(reinterpret_cast<const char*>(data + pos), length);
        pos += length;
    }
    out.whole = true;
    return true;
}

}  // namespace container
