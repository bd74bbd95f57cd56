#include "app/main_window_callback_win.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "app/main_window_visibility_win.h"
#include "app/program_end_win.h"
#include "app/slider_draw_win.h"
#include "ui/elements_win.h"

#define LINE_BASE 50000
#include "ui/current_line.h"

namespace {

constexpr LPARAM kBalloonUserClick = 0x405; // NIN_BALLOONUSERCLICK

void ReceiveHandOver(WPARAM wParam) {
    const ATOM atom = static_cast<ATOM>(wParam);
    char name[1204];
    std::memset(name, ' ', sizeof name);
    AT_LINE(); const UINT length = GlobalGetAtomNameA(atom, name, 1024);
    // An atom that cannot be read (atom 0 for a path too long for an atom) names nothing
    // that could be played: it is dropped instead of adding a path of blanks.
    if (length > 0) {
        name[length] = '\0';
        AT_LINE(); TakeHandedOverPath(name);
    }
    if (atom) GlobalDeleteAtom(atom);
}

bool IsSliderCustomDraw(LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    return header && static_cast<int>(header->idFrom) == kPositionSlider &&
           header->hwndFrom == ControlHandle(kPositionSlider) && header->code == static_cast<UINT>(NM_CUSTOMDRAW);
}

} // namespace

bool RunMainWindowCallback(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    bool answered = false;
    if (message == WM_QUERYENDSESSION) {
        AT_LINE(); QuitProgram();
    }
    if (message == kHandOverMessage) {
        ReceiveHandOver(wParam);
    }
    if (message == WM_NOTIFY && IsSliderCustomDraw(lParam)) {
        AT_LINE(); answered = DrawPositionSlider(*reinterpret_cast<const NMCUSTOMDRAW*>(lParam), result);
    }
    if (lParam == kBalloonUserClick) {
        AT_LINE(); RestoreMainWindow();
    }
    return answered;
}
