#include "ui/tray_icon_win.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "ui/ui_state_win.h"
#include "ui/version.h"

namespace {

NOTIFYICONDATAA TrayIconData() {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = g_ui.windows[kMainWindow];
    data.uID = kTrayIcon;
    return data;
}

} // namespace

void AddTrayIcon() {
    if (!g_ui.windows[kMainWindow]) return;
    NOTIFYICONDATAA data = TrayIconData();
    data.uFlags = NIF_ICON | NIF_MESSAGE;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = g_ui.trayIcon;
    g_ui.trayIconAdded = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
    SetTrayTooltip((std::string("Quendra ") + VersionText()).c_str());
}

void SetTrayTooltip(const char* text) {
    if (!g_ui.trayIconAdded) return;
    NOTIFYICONDATAA data = TrayIconData();
    data.uFlags = NIF_TIP;
    std::strncpy(data.szTip, text, 63);
    data.szTip[63] = '\0';
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

void RemoveTrayIcon() {
    if (!g_ui.trayIconAdded) return;
    NOTIFYICONDATAA data = TrayIconData();
    Shell_NotifyIconA(NIM_DELETE, &data);
    g_ui.trayIconAdded = false;
}

void ShowTrayBalloon(const std::string& title, const std::string& text) {
    NOTIFYICONDATAA data = TrayIconData();
    data.uFlags = NIF_INFO;
    std::strncpy(data.szInfo, text.c_str(), sizeof data.szInfo - 1);
    std::strncpy(data.szInfoTitle, title.c_str(), sizeof data.szInfoTitle - 1);
    data.uTimeout = 10000;
    data.dwInfoFlags = NIIF_USER;
    Shell_NotifyIconA(NIM_MODIFY, &data);
}
