#pragma once
#include <string>

// The half-second status update: time display, slider, the step to the next entry when a
// track has ended, and the changing titles of internet radio streams.
void UpdateStatus();

// A balloon tip from the tray icon, only while the main window is hidden and balloon tips
// are on. "LAST", "LAST" shows the last pair again; two empty texts remove a balloon.
void ShowTrackBalloon(const std::string& title, const std::string& text);
