#include "formats/asf_header.h"

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "containers/endian.h"
#include "text/utf8.h"

namespace engine {
namespace {

using container::Le16;
using container::Le32;
using container::Le64;

// GUIDs as they lie in the file (the first three fields little-endian).
using Guid = uint8_t[16];
constexpr Guid kHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kFileProperties = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                  0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kStreamProperties = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                    0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kAudioMedia = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                              0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
constexpr Guid kContentDescription = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                      0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kExtendedContentDescription = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                              0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};

constexpr size_t kObjectHeader = 24;  // GUID and 64-bit size
constexpr size_t kHeaderObjectFixed = 30;  // plus the object count and two reserved bytes

bool Is(const uint8_t* p, const Guid& guid) { return std::memcmp(p, guid, sizeof(Guid)) == 0; }

std::string Utf16Le(const uint8_t* p, size_t bytes) { return Utf16ToUtf8(p, bytes, false); }

// Adds a text once: writers repeat the content description's fields among the extended ones.
void AddText(TagList& tags, const std::string& name, std::string text) {
    if (text.empty()) return;
    for (const Tag& tag : *tags.Snapshot())
        if (tag.type == FMOD_TAGTYPE_ASF && tag.name == name && tag.data == text) return;
    tags.Add(FMOD_TAGTYPE_ASF, name, std::move(text));
}

bool SameIgnoringCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y)) return false;
    }
    return true;
}

// The extended descriptors' names with a common one, in any case (writers differ).
std::string CommonName(const std::string& name) {
    static const char* const kNames[][2] = {
        {"WM/AlbumTitle", "ALBUM"},   {"WM/Genre", "GENRE"},         {"WM/Year", "YEAR"},
        {"WM/TrackNumber", "TRACKNUMBER"}, {"WM/AlbumArtist", "ALBUMARTIST"}, {"WM/Composer", "COMPOSER"},
        {"Title", "TITLE"},           {"Author", "ARTIST"},          {"Copyright", "COPYRIGHT"},
        {"Description", "COMMENT"},   {"date", "YEAR"},
    };
    for (const auto& [asf, common] : kNames)
        if (SameIgnoringCase(name, asf)) return common;
    return name;
}

// Title, author, copyright, description, rating: five lengths, then the UTF-16 texts.
void ReadContentDescription(const uint8_t* p, size_t size, TagList& tags) {
    static const char* const kNames[5] = {"TITLE", "ARTIST", "COPYRIGHT", "COMMENT", "RATING"};
    if (size < 10) return;
    size_t at = 10;
    for (int i = 0; i < 5; ++i) {
        const size_t length = Le16(p + 2 * i);
        if (length > size - at) return;
        AddText(tags, kNames[i], Utf16Le(p + at, length));
        at += length;
    }
}

void ReadExtendedContentDescription(const uint8_t* p, size_t size, TagList& tags) {
    if (size < 2) return;
    const int count = Le16(p);
    size_t at = 2;
    for (int i = 0; i < count; ++i) {
        if (size - at < 2) return;
        const size_t nameLength = Le16(p + at);
        if (size - at - 2 < nameLength + 4) return;
        const std::string name = CommonName(Utf16Le(p + at + 2, nameLength));
        at += 2 + nameLength;
        const uint16_t type = Le16(p + at);
        const size_t length = Le16(p + at + 2);
        at += 4;
        if (length > size - at) return;
        const uint8_t* value = p + at;
        at += length;
        if (name.empty()) continue;
        switch (type) {
        case 0:  // UTF-16 text
            AddText(tags, name, Utf16Le(value, length));
            break;
        case 2:  // BOOL, 32 bits
        case 3:  // DWORD
            if (length >= 4) AddText(tags, name, std::to_string(Le32(value)));
            break;
        case 4:  // QWORD
            if (length >= 8) AddText(tags, name, std::to_string(Le64(value)));
            break;
        case 5:  // WORD
            if (length >= 2) AddText(tags, name, std::to_string(Le16(value)));
            break;
        default:  // byte arrays (pictures) are no text
            break;
        }
    }
}

void ReadStreamProperties(const uint8_t* p, size_t size, AsfHeader& header) {
    constexpr size_t kTypeData = 54;  // after two GUIDs, time offset, two lengths, flags, reserved
    if (header.hasAudio || size < kTypeData || !Is(p, kAudioMedia)) return;
    const uint32_t typeLength = Le32(p + 40);
    if (typeLength < 16 || typeLength > size - kTypeData) return;
    const uint8_t* w = p + kTypeData;
    header.hasAudio = true;
    header.audio.formatTag = Le16(w);
    header.audio.channels = Le16(w + 2);
    header.audio.sampleRate = Le32(w + 4);
    header.audio.bytesPerSecond = Le32(w + 8);
    header.audio.bitsPerSample = Le16(w + 14);
}

}  // namespace

uint64_t AsfHeader::LengthFrames() const {
    const uint64_t preroll = prerollMs * 10000;
    if (!hasAudio || playDuration <= preroll) return 0;
    const uint64_t time = playDuration - preroll;  // 100 ns units
    // Split so that hours at 768 kHz stay within 64 bits.
    return time / 10000000 * audio.sampleRate + time % 10000000 * audio.sampleRate / 10000000;
}

int ProbeAsf(const uint8_t* head, size_t size) { return size >= 16 && Is(head, kHeaderObject) ? 100 : 0; }

bool ParseAsfHeader(const uint8_t* data, size_t size, AsfHeader& header, TagList& tags) {
    if (size < kHeaderObjectFixed || !ProbeAsf(data, size)) return false;
    const uint64_t declared = Le64(data + 16);
    if (declared < kHeaderObjectFixed) return false;
    header.headerBytes = declared;
    const size_t end = declared < size ? static_cast<size_t>(declared) : size;
    const uint32_t objects = Le32(data + 24);
    size_t at = kHeaderObjectFixed;
    for (uint32_t i = 0; i < objects && end - at >= kObjectHeader; ++i) {
        const uint64_t objectSize = Le64(data + at + 16);
        if (objectSize < kObjectHeader || objectSize > end - at) break;
        const uint8_t* body = data + at + kObjectHeader;
        const size_t bodySize = static_cast<size_t>(objectSize) - kObjectHeader;
        if (Is(data + at, kFileProperties) && bodySize >= 64) {
            header.playDuration = Le64(body + 40);
            header.prerollMs = Le64(body + 56);
        } else if (Is(data + at, kStreamProperties)) {
            ReadStreamProperties(body, bodySize, header);
        } else if (Is(data + at, kContentDescription)) {
            ReadContentDescription(body, bodySize, tags);
        } else if (Is(data + at, kExtendedContentDescription)) {
            ReadExtendedContentDescription(body, bodySize, tags);
        }
        at += static_cast<size_t>(objectSize);
    }
    return true;
}

bool ReadAsfHeader(Reader& reader, AsfHeader& header, TagList& tags) {
    uint8_t fixed[kHeaderObjectFixed];
    if (!reader.Seek(0) || !ReadExact(reader, fixed, sizeof fixed) || !ProbeAsf(fixed, sizeof fixed)) return false;
    const uint64_t declared = Le64(fixed + 16);
    if (declared < kHeaderObjectFixed || declared > kMaxAsfHeaderBytes) return false;
    std::vector<uint8_t> whole(fixed, fixed + sizeof fixed);
    whole.resize(static_cast<size_t>(declared));
    if (!ReadExact(reader, whole.data() + sizeof fixed, whole.size() - sizeof fixed)) return false;
    return ParseAsfHeader(whole.data(), whole.size(), header, tags);
}

}  // namespace engine
