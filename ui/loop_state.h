#pragma once
#include <cstdint>

#include "ui/ticks.h"
#include "ui/ui_numbers.h"

// What the event loop remembers between passes.
struct LoopState {
    TickMark LastDisplayTick;      // last redraw of the oscilloscope or the mini window
    TickMark LastStatusTick;       // last status update; the wheel over the main window moves it too
    uint32_t BalloonShownTick = 0; // when the last balloon tip was shown; 0 = none pending
    int32_t MiniWindowHover = 0;   // 1 while the cursor is inside the mini window
    int32_t hoverFlags[kControlCount] = {}; // per image button: 1 while the cursor is inside it
};

extern LoopState g_loop;
