#include "app/window_procs_win.h"

#include <windows.h>
#include <commctrl.h>

#include "app/main_window_callback_win.h"
#include "app/noted_events_win.h"
#include "ui/elements_win.h"

namespace {

void NoteEvent(EventKind kind, int window, int number, int type) {
    Event event;
    event.kind = kind;
    event.window = window;
    event.number = number;
    event.type = type;
    NoteEvent(event);
}

void NoteControlEvent(int window, int control, int type) {
    NoteEvent(EventKind::Control, window, control, type);
}

// WM_COMMAND: a click on an image button, a menu item, or a keyboard shortcut.
void NoteCommand(int window, WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (lParam == 0) {
        NoteEvent(EventKind::Menu, window, id, 0);
        return;
    }
    if (code == STN_CLICKED) NoteControlEvent(window, id, 0);
    if (code == STN_DBLCLK) NoteControlEvent(window, id, 2);
}

void NoteTrayEvent(LPARAM lParam) {
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONUP: NoteEvent(EventKind::Tray, kMainWindow, kTrayIcon, 0); break;
    case WM_RBUTTONUP: NoteEvent(EventKind::Tray, kMainWindow, kTrayIcon, 1); break;
    case WM_LBUTTONDBLCLK: NoteEvent(EventKind::Tray, kMainWindow, kTrayIcon, 2); break;
    case WM_RBUTTONDBLCLK: NoteEvent(EventKind::Tray, kMainWindow, kTrayIcon, 3); break;
    default: break;
    }
}

void NotePlaylistNotification(const NMHDR* header) {
    if (!header || static_cast<int>(header->idFrom) != kPlaylistView) return;
    if (header->code == static_cast<UINT>(NM_DBLCLK)) NoteControlEvent(kMainWindow, kPlaylistView, 2);
    if (header->code == static_cast<UINT>(NM_RCLICK)) NoteControlEvent(kMainWindow, kPlaylistView, 1);
}

LRESULT ColorStatic(HDC dc, HWND control) {
    const int number = GetDlgCtrlID(control);
    if (number <= 0 || number >= kControlCount || !g_ui.backBrush[number]) return 0;
    SetTextColor(dc, g_ui.textColor[number]);
    SetBkColor(dc, g_ui.backColor[number]);
    return reinterpret_cast<LRESULT>(g_ui.backBrush[number]);
}

void PaintSkin(HWND hwnd, HDC dc) {
    RECT client;
    GetClientRect(hwnd, &client);
    POINT oldOrigin;
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    FillRect(dc, &client, g_ui.skinBrush ? g_ui.skinBrush : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
}

// Messages every one of our windows treats alike; true when handled.
bool HandleCommonMessage(int window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_COMMAND:
        NoteCommand(window, wParam, lParam);
        *result = 0;
        return true;
    case WM_CLOSE: // a request only: the player decides what closing means
        NoteEvent(EventKind::Close, window, 0, 0);
        *result = 0;
        return true;
    case WM_CTLCOLORSTATIC:
        *result = ColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return *result != 0;
    default:
        return false;
    }
}

} // namespace

LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleCommonMessage(kFrameWindow, message, wParam, lParam, &result)) return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (RunMainWindowCallback(hwnd, message, wParam, lParam, &result)) return result;
    if (HandleCommonMessage(kMainWindow, message, wParam, lParam, &result)) return result;
    switch (message) {
    case WM_NOTIFY:
        NotePlaylistNotification(reinterpret_cast<const NMHDR*>(lParam));
        break;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == ControlHandle(kPositionSlider) && lParam != 0) {
            NoteControlEvent(kMainWindow, kPositionSlider, LOWORD(wParam));
            return 0;
        }
        break;
    case kTrayCallbackMessage:
        NoteTrayEvent(lParam);
        return 0;
    case WM_ERASEBKGND:
        PaintSkin(hwnd, reinterpret_cast<HDC>(wParam));
        return 1;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK MiniWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleCommonMessage(kMiniWindow, message, wParam, lParam, &result)) return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
