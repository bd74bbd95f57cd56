#pragma once
// Playlist files as lists of locations, in file order, as UTF-8. The input is
// the whole file already turned into UTF-8 (see PlaylistBytesToUtf8).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

enum class PlaylistKind { None, Pls, M3u, Asx };

constexpr size_t kMaxPlaylistEntries = 100000;
constexpr size_t kMaxPlaylistBytes = 16 << 20;

// Byte-order marks removed; UTF-16 decoded; bytes that are not UTF-8 read as Latin-1.
std::string PlaylistBytesToUtf8(const uint8_t* data, size_t size);
// Recognises the kind by content. Plain M3U needs text whose first entry looks
// like a path or URL, so that other text files are not taken for playlists.
PlaylistKind DetectPlaylist(std::string_view text);

std::vector<std::string> ReadPls(std::string_view text);
std::vector<std::string> ReadM3u(std::string_view text);
std::vector<std::string> ReadAsx(std::string_view text);

// Splits at CR, LF or CR LF; calls back with each line (without its ending).
template <typename Fn>
void ForEachLine(std::string_view text, Fn&& fn) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        if (!fn(text.substr(start, end - start))) return;
        start = end;
        if (start < text.size() && text[start] == '\r') ++start;
        if (start < text.size() && text[start] == '\n') ++start;
    }
}

std::string_view TrimBlanks(std::string_view s);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace engine
