#include "tags/id3v2.h"

#include <cstring>
#include <string>
#include <vector>

#include "containers/endian.h"
#include "tags/id3v1.h"
#include "text/utf8.h"

namespace engine {
namespace {

// Undoes the 0xFF 0x00 insertion of unsynchronisation.
std::vector<uint8_t> Resync(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    out.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        out.push_back(data[i]);
        if (data[i] == 0xFF && i + 1 < size && data[i + 1] == 0x00) ++i;
    }
    return out;
}

// Length of a terminated string in the given encoding, and the terminator's width.
size_t TerminatedLength(const uint8_t* p, size_t size, uint8_t encoding, size_t* terminator) {
    bool wide = encoding == 1 || encoding == 2;
    *terminator = wide ? 2 : 1;
    if (!wide) {
        const void* zero = std::memchr(p, 0, size);
        if (!zero) { *terminator = 0; return size; }
        return static_cast<size_t>(static_cast<const uint8_t*>(zero) - p);
    }
    for (size_t i = 0; i + 1 < size; i += 2)
        if (p[i] == 0 && p[i + 1] == 0) return i;
    *terminator = 0;
    return size;
}

std::string DecodeText(const uint8_t* p, size_t size, uint8_t encoding) {
    switch (encoding) {
    case 0: return Latin1ToUtf8(TrimFixedField({reinterpret_cast<const char*>(p), size}));
    case 1: {
        // A byte-order mark decides; without one, little-endian is the common case.
        bool big = false;
        if (size >= 2 && p[0] == 0xFE && p[1] == 0xFF) { big = true; p += 2; size -= 2; }
        else if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE) { p += 2; size -= 2; }
        return Utf16ToUtf8(p, size, big);
    }
    case 2: return Utf16ToUtf8(p, size, true);
    default: return AnyTextToUtf8(TrimFixedField({reinterpret_cast<const char*>(p), size}));
    }
}

const char* CommonName(const std::string& id) {
    static const char* const kNames[][2] = {
        {"TIT2", "TITLE"}, {"TT2", "TITLE"},   {"TPE1", "ARTIST"}, {"TP1", "ARTIST"},
        {"TALB", "ALBUM"}, {"TAL", "ALBUM"},   {"TCON", "GENRE"},  {"TCO", "GENRE"},
        {"TYER", "YEAR"},  {"TYE", "YEAR"},    {"TDRC", "YEAR"},   {"TRCK", "TRACK"},
        {"TRK", "TRACK"},  {"COMM", "COMMENT"}, {"COM", "COMMENT"},
    };
    for (const auto& pair : kNames)
        if (id == pair[0]) return pair[1];
    return nullptr;
}

void AddFrame(const std::string& id, const uint8_t* body, size_t size, TagList& tags) {
    if (size < 1) return;
    // Link frames (WOAR, WCOM, ...) hold a bare Latin-1 URL; WXXX has a description first.
    if (id[0] == 'W' && id != "WXXX" && id != "WXX") {
        size_t term;
        std::string url = DecodeText(body, TerminatedLength(body, size, 0, &term), 0);
        if (!url.empty()) tags.Add(FMOD_TAGTYPE_ID3V2, id, std::move(url));
        return;
    }
    uint8_t encoding = body[0];
    if (encoding > 3) return;
    const uint8_t* p = body + 1;
    size_t left = size - 1;
    std::string name;
    if (id == "TXXX" || id == "TXX") {
        size_t term;
        size_t len = TerminatedLength(p, left, encoding, &term);
        name = DecodeText(p, len, encoding);
        p += len + term;
        left -= len + term;
    } else if (id == "WXXX" || id == "WXX") {
        size_t term;
        size_t len = TerminatedLength(p, left, encoding, &term);
        name = DecodeText(p, len, encoding);
        if (name.empty()) name = id;
        p += len + term;
        left -= len + term;
        encoding = 0;  // the URL itself is always Latin-1
    } else if (id == "COMM" || id == "COM") {
        if (left < 3) return;
        p += 3;  // language
        left -= 3;
        size_t term;
        size_t len = TerminatedLength(p, left, encoding, &term);
        std::string description = DecodeText(p, len, encoding);
        name = description.empty() ? "COMMENT" : "COMMENT:" + description;
        p += len + term;
        left -= len + term;
    } else if (id[0] == 'T') {
        const char* common = CommonName(id);
        name = common ? common : id;
    } else {
        return;
    }
    if (name.empty()) return;
    // Several values (ID3v2.4) are separated by terminators: the first one is the value.
    size_t term;
    size_t len = TerminatedLength(p, left, encoding, &term);
    std::string value = DecodeText(p, len, encoding);
    if (name == "GENRE") value = ResolveId3Genre(value);
    tags.Add(FMOD_TAGTYPE_ID3V2, std::move(name), std::move(value));
}

bool PlausibleId(const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (!((p[i] >= 'A' && p[i] <= 'Z') || (p[i] >= '0' && p[i] <= '9'))) return false;
    return true;
}

}  // namespace

void ReadId3v2(const uint8_t* data, size_t size, TagList& tags) {
    if (container::Id3v2TagSize(data, size) == 0) return;
    const int version = data[3];
    const uint8_t flags = data[5];
    if (version == 2 && (flags & 0x40)) return;  // 2.2 compression was never defined: unreadable
    size_t bodySize = container::SyncSafe32(data + 6);
    if (bodySize > size - container::kId3v2HeaderSize) bodySize = size - container::kId3v2HeaderSize;
    std::vector<uint8_t> body(data + container::kId3v2HeaderSize, data + container::kId3v2HeaderSize + bodySize);
    // Before 2.4 unsynchronisation covers the whole tag; in 2.4 it is marked per frame.
    if ((flags & 0x80) && version < 4) body = Resync(body.data(), body.size());

    size_t pos = 0;
    if ((flags & 0x40) && version >= 3 && body.size() >= 4) {
        size_t extended = version == 3 ? container::Be32(body.data()) + 4 : container::SyncSafe32(body.data());
        if (extended > body.size()) return;
        pos = extended;
    }
    const size_t idLength = version == 2 ? 3 : 4;
    const size_t headerLength = version == 2 ? 6 : 10;
    while (pos + headerLength <= body.size()) {
        const uint8_t* h = body.data() + pos;
        if (h[0] == 0 || !PlausibleId(h, idLength)) break;  // padding or damage
        std::string id(reinterpret_cast<const char*>(h), idLength);
        size_t frameSize;
        uint16_t frameFlags = 0;
        if (version == 2) {
            frameSize = container::Be24(h + 3);
        } else {
            frameSize = version == 4 ? container::SyncSafe32(h + 4) : container::Be32(h + 4);
            frameFlags = container::Be16(h + 8);
        }
        pos += headerLength;
        if (frameSize > body.size() - pos) break;
        const uint8_t* frame = body.data() + pos;
        size_t frameLength = frameSize;
        pos += frameSize;

        std::vector<uint8_t> resynced;
        if (version == 3) {
            if (frameFlags & 0x00C0) continue;  // compressed or encrypted
            if (frameFlags & 0x0020) {          // group byte
                if (frameLength < 1) continue;
                ++frame;
                --frameLength;
            }
        }
        if (version == 4) {
            if (frameFlags & 0x000C) continue;  // compressed or encrypted
            if (frameFlags & 0x0040) {          // group byte
                if (frameLength < 1) continue;
                ++frame;
                --frameLength;
            }
            if (frameFlags & 0x0001) {                        // data length indicator
                if (frameLength < 4) continue;
                frame += 4;
                frameLength -= 4;
            }
            if ((frameFlags & 0x0002) || (flags & 0x80)) {
                resynced = Resync(frame, frameLength);
                frame = resynced.data();
                frameLength = resynced.size();
            }
        }
        AddFrame(id, frame, frameLength, tags);
    }
}

}  // namespace engine
