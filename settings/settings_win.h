#pragma once

// Reads "Quendra.ini" beside the executable once at start-up and applies every option:
// menu check marks, window position, always-on-top, priority. A missing or unreadable file
// gives the defaults.
void LoadSettings();

// Writes "Quendra.ini" at the end, whole or not at all; failures are silent.
void SaveSettings();
