#include "playlist/playlist.h"

#include <algorithm>

#include "text/path_text.h"

Playlist g_playlist;

int LastIndexOfPath(const Playlist& playlist, const std::string& path) {
    int index = -1;
    for (size_t i = 0; i < playlist.size(); ++i)
        if (PathsEqual(playlist[i].path, path)) index = static_cast<int>(i);
    return index;
}

RowText RowTextOf(const PlaylistEntry& entry) {
    const bool stream = entry.tagType == 4 || entry.tagType == 5;
    if (!stream && entry.path.find('/') == std::string::npos) {
        if (entry.artist.empty() && entry.title.empty()) return {FileNamePart(entry.path), entry.durationText};
        return {entry.artist + " - " + entry.title, entry.durationText};
    }
    if (entry.streamName.empty()) return {entry.path, entry.bitrateText};
    return {entry.streamName, entry.bitrateText};
}

void RemoveEntries(Playlist& playlist, const std::vector<bool>& selected) {
    for (size_t i = 0; i < playlist.size() && i < selected.size(); ++i)
        if (selected[i]) playlist[i].mark = 1;
    playlist.erase(std::remove_if(playlist.begin(), playlist.end(), [](const PlaylistEntry& e) { return e.mark == 1; }),
                   playlist.end());
}

void ShuffleWithRandomKeys(Playlist& playlist, std::mt19937& random) {
    std::uniform_int_distribution<int32_t> key(0, 2147483647);
    for (PlaylistEntry& entry : playlist) entry.mark = key(random);
    // Equal keys keep their order, so the result does not depend on the sort's whims.
    std::stable_sort(playlist.begin(), playlist.end(),
                     [](const PlaylistEntry& a, const PlaylistEntry& b) { return a.mark < b.mark; });
    for (PlaylistEntry& entry : playlist) entry.mark = 0;
}
