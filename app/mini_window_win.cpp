#include "app/mini_window_win.h"

#include "ui/elements_win.h"
#include "ui/dialog_win.h"
#include "app/window_procs_win.h"
#include "display/mini_window_fit_win.h"

namespace {

const char kMiniClass[] = "QuendraMini";

HWND CreateMiniControl(int number, int x, int y, int width, int height, DWORD style) {
    HWND control = CreateWindowExA(0, "STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP | style, x, y, width,
                                   height, g_ui.windows[kMiniWindow],
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(number)), g_ui.instance, nullptr);
    g_ui.controls[number] = control;
    return control;
}

} // namespace

void CreateMiniWindow() {
    RegisterWindowClass(kMiniClass, MiniWindowProc, CS_DBLCLKS);
    // Clipping the children leaves the areas of the visible controls out of the erase.
    HWND mini = CreateWindowExA(0, kMiniClass, "Quendra MiniFenster", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 100, 25,
                                FindTaskbarBand(), nullptr, g_ui.instance, nullptr);
    g_ui.windows[kMiniWindow] = mini;
    if (!mini) return;
    if (CreateMiniControl(kMiniPreviousButton, 0, 0, 30, 18, SS_NOTIFY))
        SetControlImage(kMiniPreviousButton, ImageId::MiniPreviousNormal);
    if (CreateMiniControl(kMiniPlayPauseButton, 30, 0, 30, 18, SS_NOTIFY))
        SetControlImage(kMiniPlayPauseButton, ImageId::MiniPlayNormal);
    if (CreateMiniControl(kMiniNextButton, 60, 0, 30, 18, SS_NOTIFY))
        SetControlImage(kMiniNextButton, ImageId::MiniNextNormal);
    CreateMiniControl(kMiniTextArea, 0, 0, 100, 25, SS_NOTIFY);
}
