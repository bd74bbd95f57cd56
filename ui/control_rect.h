#pragma once

// A control's place in its window's client area.
struct ControlRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
