#include "ui/dialog_win.h"

#include "ui/elements_win.h"
#include "ui/ui_state_win.h"

void RegisterWindowClass(const char* name, WNDPROC procedure, UINT style) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = g_ui.instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

POINT DialogPositionOver(HWND owner) {
    RECT outer = {};
    GetWindowRect(owner, &outer);
    const LONG left = outer.left + (outer.right - outer.left - kDialogWidth) / 2;
    const LONG top = outer.top + (outer.bottom - outer.top - kDialogHeight) / 2;
    return {left < 0 ? 0 : left, top < 0 ? 0 : top};
}

void DrawDialogButton(const DRAWITEMSTRUCT& draw) {
    char label[64] = {};
    GetWindowTextA(draw.hwndItem, label, sizeof label);
    FillRect(draw.hDC, &draw.rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetBkColor(draw.hDC, RGB(0, 0, 0));
    SetTextColor(draw.hDC, (draw.itemState & ODS_SELECTED) ? RGB(0, 255, 0) : RGB(0, 200, 0));
    RECT rect = draw.rcItem;
    DrawTextA(draw.hDC, label, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

namespace {
int g_clicked = 0;  // the button that ends RunUntilButton, 0 while none
}  // namespace

void NoteButtonClicked(int id) { g_clicked = id; }

int RunUntilButton() {
    g_clicked = 0;
    return RunDialogLoop([] { return g_clicked != 0; }) ? g_clicked : 0;
}

bool RunDialogLoop(bool (*done)()) {
    MSG msg;
    while (!done()) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

HWND OpenDialogWindow(const char* className, WNDPROC procedure, const char* title) {
    HWND main = WindowHandle(kMainWindow);
    EnableWindow(main, FALSE);
    RegisterWindowClass(className, procedure, 0);
    const POINT at = DialogPositionOver(main);
    return CreateWindowExA(0, className, title, WS_POPUP, at.x, at.y, kDialogWidth, kDialogHeight, main, nullptr,
                           g_ui.instance, nullptr);
}

void CloseDialogWindow(HWND dialog) {
    EnableWindow(WindowHandle(kMainWindow), TRUE);
    if (dialog) DestroyWindow(dialog);
}

HWND AddDialogControl(HWND dialog, const char* kind, const char* text, DWORD style, int x, int y, int width,
                      int height, int id) {
    HWND control = CreateWindowExA(0, kind, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_ui.instance, nullptr);
    if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return control;
}
