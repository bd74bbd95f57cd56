#pragma once
#include <cstdint>

// The two pens of the oscilloscopes: the afterglow trail, 5 pixels wide in RGB(0, 50, 0),
// which covers last frame's trace, and the trace, 2 pixels wide in RGB(0, 255, 0).
// Colours as 32-bit pixels (0x00RRGGBB).
struct TracePen {
    int width;
    uint32_t pixel;
};

constexpr TracePen kTrailPen = {5, 0x00003200u};
constexpr TracePen kTracePen = {2, 0x0000FF00u};
