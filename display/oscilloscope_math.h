#pragma once
#include <cstdint>

// Row of a sample on the main oscilloscope: +1.0 on row 98, 0.0 on row 50, -1.0 on row 2,
// rounded to the nearest row, ties to even; nothing is clamped.
int TraceRow(float sample);

// Row of a sample on a surface `height` pixels high (the mini window): +1.0 on row height,
// 0.0 on row height / 2 (integer division), ties to even.
int MiniTraceRow(float sample, int height);

// One fade step of the afterglow: the green value the probed area becomes, or -1 when the
// probe's green (0 or above 50) means no fill this frame.
int FadedGreen(int green);

// Scrolling text: a text wider than `scrollAbove` slides one pixel per frame between x = 10
// and x = width - 10 - textWidth; a narrower one is centred and keeps its step.
struct ScrollState {
    int32_t offset = 10;
    int32_t step = 0;
};
void StepScroll(ScrollState& state, int textWidth, int width, int scrollAbove);

// Where the text is drawn this frame: the position before this frame's step.
inline int32_t TextDrawX(const ScrollState& state) {
    return state.offset - state.step;
}
