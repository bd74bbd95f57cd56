#pragma once
#include <cstdint>

#include "ui/control_rect.h"

// Strict test: the control's outermost rows and columns count as outside.
bool CursorInsideControl(int x, int y, const ControlRect& rect);

// One wheel event is one volume step, whatever the size of its delta: +1 up, -1 down.
int WheelStep(uint64_t wParam);

// What a mouse move does to one image button: its new hover flag and whether the button
// now wants its hover image, its normal image, or no change.
enum class HoverChange { None, ShowHover, ShowNormal };
struct HoverDecision {
    int flag = 0;
    HoverChange change = HoverChange::None;
};
HoverDecision DecideHover(bool cursorInside, int hoverFlag);
