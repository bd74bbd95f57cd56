#include "ui/ticks.h"

int32_t TicksSince(uint32_t then, uint32_t now) {
    return static_cast<int32_t>(now - then);
}

bool MoreThanElapsed(uint32_t then, uint32_t now, int32_t thresholdMs) {
    return TicksSince(then, now) > thresholdMs;
}

bool IsDue(const TickMark& mark, uint32_t now, int32_t intervalMs) {
    return !mark.ran || MoreThanElapsed(mark.tick, now, intervalMs);
}

void MarkRun(TickMark* mark, uint32_t now) {
    mark->tick = now;
    mark->ran = true;
}

uint32_t MillisecondsUntilDue(const TickMark& mark, uint32_t now, int32_t intervalMs) {
    if (IsDue(mark, now, intervalMs)) return 0;
    // "More than" the interval is one tick after it; a mark ahead of now waits one interval.
    const int32_t elapsed = TicksSince(mark.tick, now);
    return static_cast<uint32_t>(intervalMs - (elapsed > 0 ? elapsed : 0) + 1);
}
