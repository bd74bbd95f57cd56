#pragma once
#include <string>

// Writes the playlist as a PLS file, whole or not at all; false when it could not be written.
bool WritePlaylistFile(const std::string& path);

// "Quendra.pls" beside the executable, at program end; a failure is silent.
void SaveLastRunPlaylist();

// Menu "Playlist exportieren": asks for a name and writes the playlist there.
void ExportPlaylist();
