#include "app/event_loop_win.h"

#include "app/dispatch_win.h"
#include "app/event_wait_win.h"
#include "app/main_window_callback_win.h"
#include "app/periodic_work_win.h"

void RunEventLoop() {
    StartTakingHandedOverPaths();
    for (;;) {
        DispatchEvent(WaitEvent(MillisecondsUntilPeriodicWork()));
        DoPeriodicWork();
    }
}
