#pragma once
#include <cstdint>
#include <string>

// The path of the entry after the current track (see NextEntryIndex), empty for none;
// marks its row in the playlist view.
std::string NextEntryPath(int32_t force);

// The path of the entry before `currentPath`, empty for an empty list; marks its row.
std::string PreviousEntryPath(const std::string& currentPath);

// Pauses or resumes the loaded track; with nothing playing, starts the next entry.
void TogglePlayPause();

// The next and previous buttons of both windows.
void PlayNextEntry();
void PlayPreviousEntry();
