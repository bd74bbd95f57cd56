#pragma once
#include <cstdint>
#include <string>

#include "playlist/playlist.h"

// The entry after the current one (the later one when its path is listed twice). Past the
// last entry it wraps to 0 when repeat or force is 1, else it gives -1 (nothing). With the
// current track not in the list (or nothing loaded) it gives 0. The index may lie past the
// end of an empty list; callers check.
int NextEntryIndex(const Playlist& playlist, const std::string& currentPath, int32_t repeat, int32_t force);

// The entry before the current one; from the first entry, or with the current track not in
// the list, the last entry. -1 only for an empty list.
int PreviousEntryIndex(const Playlist& playlist, const std::string& currentPath);
