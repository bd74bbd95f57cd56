#include "playlists/playlist_readers.h"

namespace engine {

// "FileN=location" lines in file order; the numbers and every other key
// (TitleN, LengthN, NumberOfEntries, Version) are not needed for the list.
std::vector<std::string> ReadPls(std::string_view text) {
    std::vector<std::string> entries;
    ForEachLine(text, [&](std::string_view line) {
        line = TrimBlanks(line);
        size_t equals = line.find('=');
        if (equals == std::string_view::npos || !StartsWithNoCase(line, "file")) return true;
        std::string_view number = TrimBlanks(line.substr(4, equals - 4));
        if (number.empty()) return true;
        for (char c : number)
            if (c < '0' || c > '9') return true;
        std::string_view location = TrimBlanks(line.substr(equals + 1));
        if (!location.empty()) entries.emplace_back(location);
        return entries.size() < kMaxPlaylistEntries;
    });
    return entries;
}

// One location per line; lines starting with '#' are comments or #EXTINF data.
std::vector<std::string> ReadM3u(std::string_view text) {
    std::vector<std::string> entries;
    ForEachLine(text, [&](std::string_view line) {
        line = TrimBlanks(line);
        if (!line.empty() && line[0] != '#') entries.emplace_back(line);
        return entries.size() < kMaxPlaylistEntries;
    });
    return entries;
}

}  // namespace engine
