#include "ui/elements_win.h"

UiState g_ui;

HWND WindowHandle(int window) {
    if (window < 0 || window > kMainWindow) return nullptr;
    return g_ui.windows[window];
}

HWND ControlHandle(int control) {
    if (control <= 0 || control >= kControlCount) return nullptr;
    return g_ui.controls[control];
}

int WindowNumberOf(HWND hwnd) {
    if (!hwnd) return -1;
    for (int n : {kMiniWindow, kFrameWindow, kMainWindow})
        if (g_ui.windows[n] == hwnd) return n;
    return -1;
}

void ShowWindowNumber(int window, bool show) {
    HWND hwnd = WindowHandle(window);
    if (!hwnd) return;
    if (show) {
        ShowWindow(hwnd, IsZoomed(hwnd) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        return;
    }
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (owner) SetActiveWindow(owner);
    ShowWindow(hwnd, SW_HIDE);
}

bool IsWindowNumberVisible(int window) {
    HWND hwnd = WindowHandle(window);
    return hwnd && IsWindowVisible(hwnd);
}

void SetControlImage(int control, ImageId image) {
    HWND hwnd = ControlHandle(control);
    const int index = static_cast<int>(image);
    if (!hwnd || index < 0 || index >= static_cast<int>(ImageId::Count)) return;
    g_ui.shownImage[control] = image;
    SendMessageA(hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(g_ui.images[index]));
}

ImageId ControlImage(int control) {
    if (control <= 0 || control >= kControlCount) return ImageId::Count;
    return g_ui.shownImage[control];
}

void ShowControl(int control, bool show) {
    HWND hwnd = ControlHandle(control);
    if (hwnd) ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
}

void FocusControl(int control) {
    HWND hwnd = ControlHandle(control);
    if (hwnd) SetFocus(hwnd);
}

int FocusedControl() {
    HWND focus = GetFocus();
    if (!focus) return -1;
    for (int n = 1; n < kControlCount; ++n)
        if (g_ui.controls[n] == focus) return n;
    return -1;
}

namespace {

bool CursorInClient(int window, POINT* point) {
    HWND hwnd = WindowHandle(window);
    RECT client;
    if (!hwnd || !GetCursorPos(point) || !ScreenToClient(hwnd, point) || !GetClientRect(hwnd, &client))
        return false;
    return point->x >= client.left && point->x < client.right && point->y >= client.top &&
           point->y < client.bottom;
}

} // namespace

int CursorX(int window) {
    POINT point;
    return CursorInClient(window, &point) ? point.x : -1;
}

int CursorY(int window) {
    POINT point;
    return CursorInClient(window, &point) ? point.y : -1;
}

ControlRect ControlRectangle(int control) {
    HWND hwnd = ControlHandle(control);
    RECT rect;
    if (!hwnd || !GetWindowRect(hwnd, &rect)) return {};
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

POINT WindowTopLeft(int window) {
    RECT rect = {};
    HWND hwnd = WindowHandle(window);
    if (hwnd) GetWindowRect(hwnd, &rect);
    return {rect.left, rect.top};
}

void SetMenuCheck(int command, int value) {
    if (!g_ui.contextMenu) return;
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    if (!GetMenuItemInfoA(g_ui.contextMenu, command, FALSE, &info)) return;
    info.fState = value != 0 ? (info.fState | MFS_CHECKED) : (info.fState & ~MFS_CHECKED);
    SetMenuItemInfoA(g_ui.contextMenu, command, FALSE, &info);
}

void SetMenuGreyed(int command) {
    if (g_ui.contextMenu) EnableMenuItem(g_ui.contextMenu, command, MF_BYCOMMAND | MF_GRAYED);
}

void ShowContextMenu() {
    HWND main = WindowHandle(kMainWindow);
    POINT cursor;
    if (!g_ui.contextMenu || !main || !GetCursorPos(&cursor)) return;
    SetForegroundWindow(main);
    TrackPopupMenu(g_ui.contextMenu, TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, cursor.x - 1, cursor.y - 1, 0,
                   main, nullptr);
}

void SetControlText(int control, const std::string& text) {
    HWND hwnd = ControlHandle(control);
    if (hwnd) SetWindowTextA(hwnd, text.c_str());
}

void SetControlTextColor(int control, COLORREF color) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd) return;
    g_ui.textColor[control] = color;
    InvalidateRect(hwnd, nullptr, TRUE);
}

void SetControlBackColor(int control, COLORREF color) {
    HWND hwnd = ControlHandle(control);
    if (!hwnd) return;
    if (g_ui.backBrush[control]) DeleteObject(g_ui.backBrush[control]);
    g_ui.backColor[control] = color;
    g_ui.backBrush[control] = CreateSolidBrush(color);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void KeepMainWindowOnTop(bool onTop) {
    HWND main = WindowHandle(kMainWindow);
    // Also activates the window: the user has just asked for it to stand in front.
    if (main) SetWindowPos(main, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}
