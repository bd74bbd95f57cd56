#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct PlaylistEntry {
    std::string path; // file path or stream URL, as added
    std::string artist;
    std::string title;
    std::string durationText; // mm:ss; "00:00" when the length is 0
    std::string bitrateText;  // "icy-br" of streams
    std::string streamName;   // "icy-name" of streams
    int32_t tagType = 0;      // 4 or 5 marks a stream
    int32_t mark = 0;         // used only while shuffling or removing
};

// The one ordered list the player works through; row i of the view is entry i.
using Playlist = std::vector<PlaylistEntry>;
extern Playlist g_playlist;

// Index of the last entry with this path, -1 when none: the current entry is the one whose
// path equals the current track's path, the later one when it is listed twice.
int LastIndexOfPath(const Playlist& playlist, const std::string& path);

// The two column texts of an entry's row.
struct RowText {
    std::string title;
    std::string time;
};
RowText RowTextOf(const PlaylistEntry& entry);

// Deletes the entries whose `selected` flag is set, keeping the others in order.
void RemoveEntries(Playlist& playlist, const std::vector<bool>& selected);

// A uniform random reordering: random keys, sorted, keys cleared.
void ShuffleWithRandomKeys(Playlist& playlist, std::mt19937& random);
