#include "playlists/playlist_readers.h"

#include "text/utf8.h"

namespace engine {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// A URL, or a name ending in a file extension ("song.mp3", "C:\\music\\a.flac").
bool LooksLikeLocation(std::string_view line) {
    if (line.size() > 4096) return false;
    for (char c : line)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return false;
    if (line.find("://") != std::string_view::npos) return true;
    size_t dot = line.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string_view extension = line.substr(dot + 1);
    if (extension.size() < 2 || extension.size() > 5) return false;
    for (char c : extension)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

bool IsText(std::string_view text) {
    for (char c : text) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && b != '\t' && b != '\r' && b != '\n' && b != '\f') return false;
    }
    return true;
}

}  // namespace

std::string_view TrimBlanks(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\f')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\f')) --b;
    return s.substr(a, b - a);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != Lower(prefix[i])) return false;
    return true;
}

std::string PlaylistBytesToUtf8(const uint8_t* data, size_t size) {
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF)
        return AnyTextToUtf8({reinterpret_cast<const char*>(data + 3), size - 3});
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) return Utf16ToUtf8(data + 2, size - 2, false);
    if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) return Utf16ToUtf8(data + 2, size - 2, true);
    return AnyTextToUtf8({reinterpret_cast<const char*>(data), size});
}

PlaylistKind DetectPlaylist(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t' || text[start] == '\r' ||
                                   text[start] == '\n'))
        ++start;
    std::string_view body = text.substr(start);
    if (StartsWithNoCase(body, "[playlist]")) return PlaylistKind::Pls;
    if (StartsWithNoCase(body, "#EXTM3U")) return PlaylistKind::M3u;
    if (!IsText(body)) return PlaylistKind::None;
    if (StartsWithNoCase(body, "<")) {
        for (size_t i = 0; i + 4 <= body.size(); ++i)
            if (body[i] == '<' && StartsWithNoCase(body.substr(i + 1), "asx")) return PlaylistKind::Asx;
        return PlaylistKind::None;
    }
    // Plain M3U: the first entries must all look like locations.
    int checked = 0;
    bool allLocations = true;
    ForEachLine(body, [&](std::string_view line) {
        line = TrimBlanks(line);
        if (line.empty() || line[0] == '#') return true;
        allLocations = allLocations && LooksLikeLocation(line);
        return allLocations && ++checked < 20;
    });
    return checked > 0 && allLocations ? PlaylistKind::M3u : PlaylistKind::None;
}

}  // namespace engine
