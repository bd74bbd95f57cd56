#pragma once
#include <string>

// A balloon tip from the tray icon, only while the main window is hidden and balloon tips
// are on. "LAST", "LAST" shows the last pair again; two empty texts remove a balloon.
void ShowTrackBalloon(const std::string& title, const std::string& text);
