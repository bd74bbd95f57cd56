#include "app/ui_teardown_win.h"

#include <windows.h>

#include "app/images_win.h"
#include "ui/tray_icon_win.h"
#include "ui/ui_state_win.h"

void DestroyUserInterface() {
    RemoveTrayIcon();
    for (int n : {kMiniWindow, kMainWindow, kFrameWindow}) {
        if (g_ui.windows[n]) DestroyWindow(g_ui.windows[n]);
        g_ui.windows[n] = nullptr;
    }
    if (g_ui.contextMenu) DestroyMenu(g_ui.contextMenu);
    if (g_ui.shortcuts) DestroyAcceleratorTable(g_ui.shortcuts);
    if (g_ui.timeFont) DeleteObject(g_ui.timeFont);
    if (g_ui.skinBrush) DeleteObject(g_ui.skinBrush);
    if (g_ui.skinBitmap) DeleteObject(g_ui.skinBitmap);
    if (g_ui.trayIcon) DestroyIcon(g_ui.trayIcon);
    for (HBRUSH& brush : g_ui.backBrush) {
        if (brush) DeleteObject(brush);
        brush = nullptr;
    }
    DeleteButtonImages();
    g_ui = UiState{};
}
