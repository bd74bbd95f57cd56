#pragma once
#include <cstdint>

// Millisecond ticks wrap after 49.7 days; the difference taken as a signed 32-bit number
// stays right across the wrap.
int32_t TicksSince(uint32_t then, uint32_t now);

// True when more than `thresholdMs` have passed: "more than 40 ms" means 41 or more.
bool MoreThanElapsed(uint32_t then, uint32_t now, int32_t thresholdMs);
