#include "tags/vorbis_comment.h"

#include "text/utf8.h"

namespace engine {
namespace {

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

void AddVorbisComment(std::string_view field, TagList& tags) {
    const size_t equals = field.find('=');
    if (equals == std::string_view::npos || equals == 0) return;
    // Fields must be UTF-8; old writers used Latin-1, which reads as such.
    tags.Add(FMOD_TAGTYPE_VORBISCOMMENT, AnyTextToUtf8(field.substr(0, equals)),
             AnyTextToUtf8(field.substr(equals + 1)));
}

void AddVorbisComments(const std::vector<std::string>& fields, TagList& tags) {
    for (const std::string& field : fields) AddVorbisComment(field, tags);
}

bool ReadVorbisCommentBlock(const uint8_t* data, size_t size, TagList& tags) {
    if (size < 4) return false;
    const uint32_t vendor = Le32(data);
    if (vendor > size - 4 || size - 4 - vendor < 4) return false;
    size_t pos = 4 + vendor;
    const uint32_t count = Le32(data + pos);
    pos += 4;
    for (uint32_t i = 0; i < count; ++i) {
        if (size - pos < 4) break;
        const uint32_t length = Le32(data + pos);
        pos += 4;
        if (length > size - pos) break;
        AddVorbisComment({reinterpret_cast<const char*>(data + pos), length}, tags);
        pos += length;
    }
    return true;
}

bool VorbisCommentBlockIsWhole(const uint8_t* data, size_t size) {
    if (size < 4) return false;
    const uint32_t vendor = Le32(data);
    if (vendor > size - 4 || size - 4 - vendor < 4) return false;
    size_t pos = 4 + vendor;
    const uint32_t count = Le32(data + pos);
    pos += 4;
    for (uint32_t i = 0; i < count; ++i) {
        if (size - pos < 4) return false;
        const uint32_t length = Le32(data + pos);
        pos += 4;
        if (length > size - pos) return false;
        pos += length;
    }
    return true;
}

}  // namespace engine
