#include "display/oscilloscope_math.h"

#include <cmath>

int TraceRow(float sample) {
    const double row = std::nearbyint(static_cast<double>(sample) * 48.0 + 50.0);
    if (!(row > -1e6 && row < 1e6)) return row > 0 ? 1000000 : -1000000; // NaN or huge: far off the surface
    return static_cast<int>(row);
}

int MiniTraceRow(float sample, int height) {
    const double row = std::nearbyint(static_cast<double>(sample) * (height / 2.0) + (height / 2) + 0.0);
    if (!(row > -1e6 && row < 1e6)) return row > 0 ? 1000000 : -1000000;
    return static_cast<int>(row);
}

int FadedGreen(int green) {
    if (green >= 5 && green <= 50) return green - 5;
    if (green >= 1 && green <= 4) return 0;
    return -1;
}

void StepScroll(ScrollState& state, int textWidth, int width, int scrollAbove) {
    if (textWidth > scrollAbove) {
        if (state.offset == 10) state.step = -1;
        if (state.offset == width - 10 - textWidth) state.step = 1;
        state.offset += state.step;
    } else {
        state.offset = width / 2 - textWidth / 2;
    }
}
