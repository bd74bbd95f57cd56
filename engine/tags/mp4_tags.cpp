#include "tags/mp4_tags.h"

#include <cstring>
#include <string>

#include "containers/endian.h"
#include "tags/id3v1.h"
#include "text/utf8.h"

namespace engine {
namespace {

using container::Be16;
using container::Be32;

bool Is(const char type[4], const char* want) { return std::memcmp(type, want, 4) == 0; }

const uint8_t* FindChild(const uint8_t* data, size_t size, const char* type, size_t& bodySize) {
    size_t at = 0;
    Mp4Box box;
    while (NextMp4Box(data, size, at, box)) {
        if (Is(box.type, type)) {
            bodySize = box.bodySize;
            return box.body;
        }
    }
    return nullptr;
}

// Item codes with a common name; "\xA9" is the © the iTunes codes start with.
const char* CommonName(const char type[4]) {
    static const char* const kNames[][2] = {
        {"\xA9nam", "TITLE"},   {"\xA9" "ART", "ARTIST"},  {"\xA9" "alb", "ALBUM"},   {"\xA9" "day", "YEAR"},
        {"\xA9gen", "GENRE"},   {"gnre", "GENRE"},         {"trkn", "TRACKNUMBER"},   {"disk", "DISCNUMBER"},
        {"\xA9" "cmt", "COMMENT"}, {"aART", "ALBUMARTIST"}, {"\xA9wrt", "COMPOSER"}, {"cprt", "COPYRIGHT"},
        {"\xA9lyr", "LYRICS"},  {"desc", "DESCRIPTION"},
    };
    for (const auto& [code, name] : kNames)
        if (Is(type, code)) return name;
    return nullptr;
}

// The value of an item's data box as text; empty for pictures and what is no text.
std::string DataText(const char item[4], const uint8_t* p, size_t size) {
    if (size < 8) return {};
    const uint32_t kind = Be32(p) & 0xFFFFFF;  // after a version byte
    p += 8, size -= 8;                         // and the locale
    // Track and disc: reserved, number, total; genre: an ID3v1 number plus one.
    if (Is(item, "trkn") || Is(item, "disk")) return size >= 4 && Be16(p + 2) ? std::to_string(Be16(p + 2)) : "";
    if (Is(item, "gnre")) return size >= 2 ? Id3GenreName(Be16(p) - 1) : "";
    switch (kind) {
    case 1:  // UTF-8
        return AnyTextToUtf8({reinterpret_cast<const char*>(p), size});
    case 2:  // UTF-16, big-endian
        return Utf16ToUtf8(p, size, true);
    case 21:  // big-endian integers of 1, 2, 4 or 8 bytes
    case 22: {
        if (size != 1 && size != 2 && size != 4 && size != 8) return {};
        uint64_t value = 0;
        for (size_t i = 0; i < size; ++i) value = value << 8 | p[i];
        if (kind == 22) return std::to_string(value);
        if (size < 8 && (p[0] & 0x80)) value -= uint64_t{1} << (8 * size);  // sign-extended
        return std::to_string(static_cast<int64_t>(value));
    }
    default:
        return {};
    }
}

void ReadItem(const Mp4Box& item, TagList& tags) {
    std::string name;
    if (const char* common = CommonName(item.type)) {
        name = common;
    } else if (Is(item.type, "----")) {  // free-form: its own name box (after version and flags)
        size_t bytes = 0;
        const uint8_t* own = FindChild(item.body, item.bodySize, "name", bytes);
        if (!own || bytes <= 4) return;
        name = AnyTextToUtf8({reinterpret_cast<const char*>(own + 4), bytes - 4});
    } else {
        name = AnyTextToUtf8({item.type, 4});  // Latin-1: "\xA9too" becomes "©too"
    }
    size_t bytes = 0;
    const uint8_t* data = FindChild(item.body, item.bodySize, "data", bytes);
    if (!data || name.empty()) return;
    std::string text = DataText(item.type, data, bytes);
    while (!text.empty() && text.back() == '\0') text.pop_back();
    if (!text.empty()) tags.Add(FMOD_TAGTYPE_ASF, name, std::move(text));
}

}  // namespace

bool NextMp4Box(const uint8_t* data, size_t size, size_t& at, Mp4Box& box) {
    if (at > size || size - at < kMp4BoxHeader) return false;
    const uint8_t* p = data + at;
    uint64_t length = Be32(p);
    size_t header = kMp4BoxHeader;
    if (length == 1) {  // a 64-bit length follows
        if (size - at < 16) return false;
        length = uint64_t{Be32(p + 8)} << 32 | Be32(p + 12);
        header = 16;
    } else if (length == 0) {  // to the end of the parent
        length = size - at;
    }
    if (length < header || length > size - at) return false;
    std::memcpy(box.type, p + 4, 4);
    box.body = p + header;
    box.bodySize = static_cast<size_t>(length) - header;
    at += static_cast<size_t>(length);
    return true;
}

void ParseMp4Tags(const uint8_t* moov, size_t size, TagList& tags) {
    size_t udtaBytes = 0, metaBytes = 0, ilstBytes = 0;
    const uint8_t* udta = FindChild(moov, size, "udta", udtaBytes);
    const uint8_t* meta = udta ? FindChild(udta, udtaBytes, "meta", metaBytes) : nullptr;
    if (!meta || metaBytes < 4) return;
    // A full box (version and flags first), except from writers that leave them out.
    if (metaBytes < 8 || (std::memcmp(meta + 4, "hdlr", 4) != 0 && std::memcmp(meta + 4, "ilst", 4) != 0))
        meta += 4, metaBytes -= 4;
    const uint8_t* ilst = FindChild(meta, metaBytes, "ilst", ilstBytes);
    if (!ilst) return;
    size_t at = 0;
    Mp4Box item;
    while (NextMp4Box(ilst, ilstBytes, at, item)) ReadItem(item, tags);
}

}  // namespace engine
