#include "display/mini_window_fit_win.h"

#include "display/mini_window_layout.h"
#include "ui/elements_win.h"

namespace {

// The band's rectangle as last seen after a fit; kept while the window is hidden.
int32_t g_taskbarLayoutKey = 0;

bool ReadBandRect(HWND band, ScreenRect& out) {
    RECT rect;
    if (!GetWindowRect(band, &rect)) return false;
    out = {rect.left, rect.top, rect.right, rect.bottom};
    return true;
}

} // namespace

HWND FindTaskbarBand() {
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    return tray ? FindWindowExA(tray, nullptr, "ReBarWindow32", nullptr) : nullptr;
}

bool FitMiniWindow() {
    HWND band = FindTaskbarBand();
    ScreenRect rect;
    if (!band || !ReadBandRect(band, rect)) {
        ShowWindowNumber(kMiniWindow, false);
        return false;
    }
    if (TaskbarLayoutKeyOf(rect) == g_taskbarLayoutKey) return true;

    const PlacedRect narrowed = NarrowedBand(rect);
    MoveWindow(band, narrowed.x, narrowed.y, narrowed.width, narrowed.height, TRUE);
    ReadBandRect(band, rect);
    g_taskbarLayoutKey = TaskbarLayoutKeyOf(rect);

    // A borderless pop-up: its window rectangle is its client area.
    HWND mini = WindowHandle(kMiniWindow);
    const PlacedRect place = MiniWindowBeside(rect);
    SetWindowPos(mini, nullptr, place.x, place.y, place.width, place.height, SWP_NOACTIVATE | SWP_NOZORDER);
    HRGN outline = CreateRoundRectRgn(0, 0, place.width, place.height + 1, 8, 15);
    if (outline && !SetWindowRgn(mini, outline, TRUE)) DeleteObject(outline); // the window owns it once set

    const int buttons[3] = {kMiniPreviousButton, kMiniPlayPauseButton, kMiniNextButton};
    for (int i = 0; i < 3; ++i)
        SetWindowPos(ControlHandle(buttons[i]), nullptr, kMiniButtonLeft[i], MiniButtonTop(place.height), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}
