#include "settings/settings_win.h"

#include <windows.h>

#include "settings/priority_on_top_win.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "ui/elements_win.h"
#include "ui/exe_folder_win.h"
#include "ui/whole_file_win.h"

namespace {

constexpr size_t kMaxSettingsBytes = 1024 * 1024;

std::string SettingsPath() {
    return FileInExecutableFolder("Quendra.ini");
}

int32_t ReadNumber(const SettingsText& text, const char* key, int32_t fallback) {
    const auto value = FindSettingValue(text, key);
    return value ? SettingNumber(*value) : fallback;
}

int32_t ReadFlag(const SettingsText& text, const char* key, int32_t fallback, int command) {
    const int32_t value = ReadNumber(text, key, fallback);
    SetMenuCheck(command, value);
    return value;
}

// A missing coordinate keeps the one the window has (centred at creation).
void MoveMainWindow(const SettingsText& text) {
    const POINT now = WindowTopLeft(kMainWindow);
    const int32_t y = ReadNumber(text, "WindowY", now.y);
    const int32_t x = ReadNumber(text, "WindowX", now.x);
    HWND main = WindowHandle(kMainWindow);
    if (main) SetWindowPos(main, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsWindowsMajorVersionSix() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = 148;
    return GetVersionExA(&version) && version.dwMajorVersion == 6;
}

std::string TrimmedRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    return text;
}

} // namespace

std::string LoadSettings() {
    std::string bytes;
    const std::string path = SettingsPath();
    if (path.empty() || !ReadWholeFile(path, &bytes, kMaxSettingsBytes)) bytes.clear();
    const SettingsText text = ParseSettingsBytes(bytes);
    Settings& s = g_settings;

    s.ReplayGainEnable = ReadFlag(text, "ReplayGainEnable", 1, kCmdReplayGain);
    MoveMainWindow(text);
    s.FensterOnTop = ReadFlag(text, "FensterOnTop", 1, kCmdOnTop);
    ApplyOnTop(s.FensterOnTop);
    s.WiederholenEnable = ReadFlag(text, "WiederholenEnable", 0, kCmdRepeat);
    s.MiniFensterEnable = ReadNumber(text, "MiniFensterEnable", 1);
    // The task bar of that Windows generation has no room for the mini window.
    if (IsWindowsMajorVersionSix()) {
        s.MiniFensterEnable = 0;
        SetMenuGreyed(kCmdMiniWindowEnabled);
    }
    SetMenuCheck(kCmdMiniWindowEnabled, s.MiniFensterEnable);
    s.MiniFensterScrollTextEnable = ReadFlag(text, "MiniFensterScrollTextEnable", 1, kCmdMiniWindowText);
    s.SongPositonVorweartsEnable = ReadNumber(text, "SongPositonVorweartsEnable", 0);
    s.HauptVolume = ReadNumber(text, "HauptVolume", 100);
    s.BalloonTipEnable = ReadFlag(text, "BalloonTipEnable", 1, kCmdBalloonTips);
    const std::string marked = TrimmedRight(FindSettingValue(text, "PlayListMarkieren").value_or(""));
    s.HohePrioEnable = ReadFlag(text, "HohePrioEnable", 0, kCmdHighPriority);
    ApplyPriority(s.HohePrioEnable);
    return marked;
}

void SaveSettings(const std::string& markedPath) {
    const POINT corner = WindowTopLeft(kMainWindow);
    const std::string path = SettingsPath();
    if (!path.empty()) WriteWholeFile(path, SettingsFileText(g_settings, corner.x, corner.y, markedPath));
}
