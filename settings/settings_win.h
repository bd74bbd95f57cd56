#pragma once
#include <string>

// Reads "Quendra.ini" beside the executable once at start-up and applies every option:
// menu check marks, window position, always-on-top, priority. A missing or unreadable file
// gives the defaults. Returns the path of the entry marked at the last run's end.
std::string LoadSettings();

// Writes "Quendra.ini" at the end, whole or not at all, with `markedPath` as the entry to
// mark at the next start; failures are silent.
void SaveSettings(const std::string& markedPath);
