#include "app/hover_win.h"

#include "ui/elements_win.h"
#include "app/hover_images.h"
#include "app/input_rules.h"
#include "ui/loop_state.h"

namespace {

void UpdateHover(int window, int button) {
    if (!ControlHandle(button)) return;
    const bool inside = CursorInsideControl(CursorX(window), CursorY(window), ControlRectangle(button));
    const HoverDecision decision = DecideHover(inside, g_loop.hoverFlags[button]);
    g_loop.hoverFlags[button] = decision.flag;
    if (decision.change == HoverChange::ShowHover) SetControlImage(button, HoverImageOf(ControlImage(button)));
    if (decision.change == HoverChange::ShowNormal) SetControlImage(button, NormalImageOf(ControlImage(button)));
}

} // namespace

void UpdateMainWindowHover() {
    for (int button : {kAboutButton, kMinimizeButton, kCloseButton, kPlayPauseButton, kPreviousButton, kStopButton,
                       kNextButton})
        UpdateHover(kMainWindow, button);
}

void UpdateMiniWindowHover() {
    for (int button : {kMiniPreviousButton, kMiniPlayPauseButton, kMiniNextButton})
        UpdateHover(kMiniWindow, button);
}
