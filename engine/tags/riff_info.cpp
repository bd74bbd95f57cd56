#include "tags/riff_info.h"

#include <string>

#include "containers/endian.h"
#include "text/utf8.h"

namespace engine {
namespace {

std::string InfoName(std::string_view id) {
    static const char* const kNames[][2] = {
        {"INAM", "TITLE"},   {"IART", "ARTIST"}, {"IPRD", "ALBUM"},       {"ICMT", "COMMENT"},
        {"ICRD", "DATE"},    {"IGNR", "GENRE"},  {"ITRK", "TRACKNUMBER"}, {"IPRT", "TRACKNUMBER"},
        {"ICOP", "COPYRIGHT"}, {"ISFT", "ENCODER"},
    };
    for (const auto& pair : kNames)
        if (id == pair[0]) return pair[1];
    return std::string(id);
}

bool PrintableId(const uint8_t* p) {
    for (int i = 0; i < 4; ++i)
        if (p[i] < 0x20 || p[i] > 0x7E) return false;
    return true;
}

}  // namespace

void AddContainerText(TagList& tags, std::string_view name, std::string_view raw) {
    std::string_view text = TrimFixedField(raw);
    tags.Add(kContainerTagType, std::string(name), AnyTextToUtf8(text));
}

void ReadRiffInfo(const uint8_t* data, size_t size, TagList& tags) {
    size_t pos = 0;
    while (size - pos >= 8) {
        const uint8_t* h = data + pos;
        uint32_t length = container::Le32(h + 4);
        pos += 8;
        if (!PrintableId(h) || length > size - pos) break;
        std::string_view id(reinterpret_cast<const char*>(h), 4);
        AddContainerText(tags, InfoName(id), {reinterpret_cast<const char*>(data + pos), length});
        pos += length + (length & 1);
        if (pos > size) break;
    }
}

}  // namespace engine
