#include "app/periodic_work_win.h"

#include "ui/elements_win.h"
#include "app/main_window_visibility_win.h"
#include "display/mini_window_fit_win.h"
#include "display/mini_window_frame_win.h"
#include "display/oscilloscope_win.h"
#include "display/status_update_win.h"
#include "playback/track_balloon_win.h"
#include "ui/loop_state.h"
#include "ui/ticks.h"

#define LINE_BASE 60000
#include "ui/current_line.h"

namespace {

// The buttons replace the text while the cursor is over the mini window.
void FollowMiniWindowHover() {
    const bool inside = CursorX(kMiniWindow) != -1;
    if (!inside && g_loop.MiniWindowHover == 1) {
        g_loop.MiniWindowHover = 0;
        for (int button : {kMiniPreviousButton, kMiniPlayPauseButton, kMiniNextButton}) ShowControl(button, false);
        ShowControl(kMiniTextArea, true);
        AT_LINE(); ShowTrackBalloon("", "");
    } else if (inside && g_loop.MiniWindowHover == 0) {
        g_loop.MiniWindowHover = 1;
        AT_LINE(); ClickMiniWindow();
        ShowControl(kMiniTextArea, false);
        for (int button : {kMiniPreviousButton, kMiniPlayPauseButton, kMiniNextButton}) ShowControl(button, true);
        AT_LINE(); ShowTrackBalloon("LAST", "LAST");
    }
}

} // namespace

unsigned MillisecondsUntilPeriodicWork() {
    if (IsWindowNumberVisible(kMiniWindow)) return 10;
    const uint32_t now = GetTickCount();
    uint32_t wait = MillisecondsUntilDue(g_loop.LastStatusTick, now, 500);
    if (IsWindowNumberVisible(kMainWindow)) {
        const uint32_t display = MillisecondsUntilDue(g_loop.LastDisplayTick, now, 40);
        if (display < wait) wait = display;
    }
    if (g_loop.BalloonShownTick != 0) {
        TickMark balloon;
        MarkRun(&balloon, g_loop.BalloonShownTick);
        const uint32_t hide = MillisecondsUntilDue(balloon, now, 10000);
        if (hide < wait) wait = hide;
    }
    return wait;
}

void DoPeriodicWork() {
    if (IsWindowNumberVisible(kMiniWindow)) {
        if (IsDue(g_loop.LastDisplayTick, GetTickCount(), 40)) {
            MarkRun(&g_loop.LastDisplayTick, GetTickCount());
            AT_LINE();
            if (FitMiniWindow()) { AT_LINE(); DrawMiniWindowFrame(); }
        }
        // Without a band window the fit has hidden it again.
        if (IsWindowNumberVisible(kMiniWindow)) FollowMiniWindowHover();
    }
    if (IsDue(g_loop.LastDisplayTick, GetTickCount(), 40) && IsWindowNumberVisible(kMainWindow)) {
        MarkRun(&g_loop.LastDisplayTick, GetTickCount());
        AT_LINE(); DrawOscilloscopeFrame();
    }
    if (IsDue(g_loop.LastStatusTick, GetTickCount(), 500)) {
        MarkRun(&g_loop.LastStatusTick, GetTickCount());
        AT_LINE(); UpdateStatus();
    }
    if (g_loop.BalloonShownTick != 0 && MoreThanElapsed(g_loop.BalloonShownTick, GetTickCount(), 10000)) {
        AT_LINE(); ShowTrackBalloon("", "");
        g_loop.BalloonShownTick = 0;
    }
}
