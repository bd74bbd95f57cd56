#pragma once
#include <string>

#include "playlist/playlist.h"

// The playlist in PLS layout: "[playlist]", "FileN=path" for each entry in order,
// "NumberOfEntries=n", "Version=2", every line ended by CR LF. Only the paths are written.
std::string PlsText(const Playlist& playlist);

// The folder part of a name: up to and including its last backslash or slash.
std::string FolderPart(const std::string& name);
