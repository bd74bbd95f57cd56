#pragma once
#include <cstdint>
#include <string>

// The single way into the playlist. A path already listed is skipped; a playlist file
// (.pls, .m3u, .asx, .wax, .tmp in any case) replaces the list with its entries; anything
// else is opened briefly, without playing, for its length and a few tags and appended.
// `startup` is 1 only for the playlist of the last run. Returns the path the caller should
// play (for a playlist, its last entry).
std::string AddToPlaylist(const std::string& path, int32_t startup);

// A file's name under any spelling (relative, ".\", letter case, short 8.3 names): its full
// long path, lower-cased. Addresses are only lower-cased.
std::string CanonicalPathKey(const std::string& path);

// Writes the UTF-8 copy of a playlist file that the sound library reads; returns the
// copy's path, or `path` unchanged when either file could not be opened.
std::string ConvertPlaylistFile(const std::string& path);
