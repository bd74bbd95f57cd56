#pragma once
#include <cstdint>

// Millisecond ticks wrap after 49.7 days; the difference taken as a signed 32-bit number
// stays right across the wrap.
int32_t TicksSince(uint32_t then, uint32_t now);

// True when more than `thresholdMs` have passed: "more than 40 ms" means 41 or more.
bool MoreThanElapsed(uint32_t then, uint32_t now, int32_t thresholdMs);

// When something periodic last ran. Nothing has run at first, and the first check fires at
// any uptime: a start tick of 0 lies in the future once the uptime reaches 2^31 ms.
struct TickMark {
    uint32_t tick = 0;
    bool ran = false;
};

// True before the first run and when more than `intervalMs` have passed since the last.
bool IsDue(const TickMark& mark, uint32_t now, int32_t intervalMs);
void MarkRun(TickMark* mark, uint32_t now);

// Milliseconds until IsDue turns true (0 when it is true already): the event loop sleeps
// that long instead of waking for nothing.
uint32_t MillisecondsUntilDue(const TickMark& mark, uint32_t now, int32_t intervalMs);
