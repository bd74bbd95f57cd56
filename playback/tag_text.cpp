#include "playback/tag_text.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Decodes one UTF-8 character at text[i]; returns its length (0 for an invalid sequence).
int DecodeUtf8(const unsigned char* text, size_t size, size_t i, uint32_t* codePoint) {
    const unsigned char lead = text[i];
    int length = 0;
    uint32_t value = 0;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > size) return 0;
    for (int k = 1; k < length; ++k) {
        if ((text[i + k] & 0xC0) != 0x80) return 0;
        value = (value << 6) | (text[i + k] & 0x3F);
    }
    *codePoint = value;
    return length;
}

int Utf8Length(uint32_t codePoint) {
    return codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
}

} // namespace

std::string RawTagBytes(const void* data, unsigned length) {
    if (!data) return "";
    const auto* bytes = static_cast<const char*>(data);
    const void* zero = std::memchr(bytes, 0, length);
    const size_t size = zero ? static_cast<const char*>(zero) - bytes : length;
    return std::string(bytes, size);
}

bool EncodeLatin1(const std::u32string& characters, std::string* narrow) {
    narrow->clear();
    for (char32_t c : characters) {
        if (c > 0xFF) return false;
        narrow->push_back(static_cast<char>(c));
    }
    return true;
}

std::string TagText(const void* data, unsigned length, NarrowEncoder encode) {
    const std::string raw = RawTagBytes(data, length);
    const auto* bytes = reinterpret_cast<const unsigned char*>(raw.data());
    const size_t size = raw.size();

    std::u32string characters;
    size_t reencodedSize = 0;
    for (size_t i = 0; i < size;) {
        uint32_t codePoint = 0;
        const int used = DecodeUtf8(bytes, size, i, &codePoint);
        if (used == 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return raw;
        characters.push_back(codePoint);
        reencodedSize += Utf8Length(codePoint);
        i += used;
    }
    // An overlong form decodes but takes more bytes than its proper encoding.
    if (reencodedSize != size) return raw;
    std::string narrow;
    return encode(characters, &narrow) ? narrow : raw;
}

namespace {
constexpr float kMaxReplayGainDb = 60.0f;
} // namespace

float ReplayGainFactor(const std::string& text) {
    // Decimal digits only: "nan" or "inf" in a tag must not reach the channel volume.
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
    }
    const float decibels = digits > 0 ? std::strtof(text.substr(start, i - start).c_str(), nullptr) : 0.0f;
    // "+999" would overflow to an infinite factor.
    if (!(decibels >= -kMaxReplayGainDb && decibels <= kMaxReplayGainDb)) return 1.0f;
    return std::pow(10.0f, decibels / 20.0f);
}

int32_t ParseTrackNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 2147483647) value = 2147483647; // a number that long is not a track number
    }
    return static_cast<int32_t>(negative ? -value : value);
}
