#include "ui/ticks.h"

int32_t TicksSince(uint32_t then, uint32_t now) {
    return static_cast<int32_t>(now - then);
}

bool MoreThanElapsed(uint32_t then, uint32_t now, int32_t thresholdMs) {
    return TicksSince(then, now) > thresholdMs;
}
