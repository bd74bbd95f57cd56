#include "playlist/playlist_conversion.h"

#include <cstdint>

bool IsValidUtf8(const std::string& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    for (size_t i = 0; i < size;) {
        const unsigned char lead = bytes[i];
        int length;
        uint32_t value;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            value = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            value = lead & 0x07;
        } else {
            return false;
        }
        if (size - i < static_cast<size_t>(length)) return false;
        for (int k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) return false;
            value = (value << 6) | (bytes[i + k] & 0x3F);
        }
        if (length == 3 && (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF))) return false;
        if (length == 4 && (value < 0x10000 || value > 0x10FFFF)) return false;
        i += length;
    }
    return true;
}

std::string Latin1ToUtf8(const std::string& text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8.push_back(c);
        } else {
            utf8.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return utf8;
}

std::string ConvertPlaylistText(const std::string& source) {
    size_t i = 0;
    if (source.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
    std::string copy;
    copy.reserve(source.size() + source.size() / 8);
    while (i < source.size()) {
        size_t end = i;
        while (end < source.size() && source[end] != '\r' && source[end] != '\n' && source[end] != '\0') ++end;
        const std::string line = source.substr(i, end - i);
        copy += IsValidUtf8(line) ? line : Latin1ToUtf8(line);
        copy += "\r\n";
        i = end;
        if (i < source.size()) {
            const bool pair = source[i] == '\r' && i + 1 < source.size() && source[i + 1] == '\n';
            i += pair ? 2 : 1;
        }
    }
    return copy;
}

std::string CompleteLines(const std::string& bytes) {
    const size_t end = bytes.find_last_of(std::string("\r\n\0", 3));
    return end == std::string::npos ? std::string() : bytes.substr(0, end + 1);
}
