#pragma once
#include <string>

// The tray icon 35 of the main window. Removing it and setting its tooltip do nothing
// while the icon is not there (not yet added, or refused by the shell).
void AddTrayIcon(); // shows "Quendra <version>" as its tooltip
void RemoveTrayIcon();
void SetTrayTooltip(const char* text); // cut to 63 characters

// A balloon tip on the icon for 10 seconds; a later one replaces it.
void ShowTrayBalloon(const std::string& title, const std::string& text);
