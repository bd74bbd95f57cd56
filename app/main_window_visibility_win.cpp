#include "app/main_window_visibility_win.h"

#include "ui/elements_win.h"
#include "display/mini_window_fit_win.h"
#include "display/oscilloscope_surface_win.h"
#include "playback/track_info.h"
#include "settings/settings.h"

void HideMainWindow() {
    g_track.scrollOffset = 10;
    ShowWindowNumber(kMainWindow, false);
    // A task bar without a band window has no place for it.
    if (g_settings.MiniFensterEnable == 1 && FindTaskbarBand()) ShowWindowNumber(kMiniWindow, true);
    SetControlImage(kMinimizeButton, ImageId::MinimizeNormal);
    CloseOscilloscopeSurface();
}

void RestoreMainWindow() {
    g_track.scrollOffset = 10;
    OpenOscilloscopeSurface(WindowHandle(kMainWindow));
    ShowWindowNumber(kMainWindow, true);
    // Under some window systems the first exposure reaches only the window itself.
    RedrawWindow(WindowHandle(kMainWindow), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ShowWindowNumber(kMiniWindow, false);
    SetForegroundWindow(WindowHandle(kMainWindow));
}

void ClickMiniWindow() {
    POINT remembered;
    if (!GetCursorPos(&remembered)) return;
    const POINT corner = WindowTopLeft(kMiniWindow);
    SetCursorPos(corner.x + 2, corner.y + 1);
    mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE, 0, 0, 0, 0);
    SetCursorPos(remembered.x, remembered.y);
}
