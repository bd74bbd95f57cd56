#include "app/input_rules.h"

bool CursorInsideControl(int x, int y, const ControlRect& rect) {
    return rect.left < x && x < rect.left + rect.width && rect.top < y && y < rect.top + rect.height;
}

int WheelStep(uint64_t wParam) {
    const auto delta = static_cast<int16_t>((wParam >> 16) & 0xFFFF);
    return delta > 0 ? 1 : -1;
}

HoverDecision DecideHover(bool cursorInside, int hoverFlag) {
    if (cursorInside && hoverFlag == 0) return {1, HoverChange::ShowHover};
    if (!cursorInside && hoverFlag == 1) return {0, HoverChange::ShowNormal};
    return {hoverFlag, HoverChange::None};
}
