#pragma once
#include <cstdint>

// The process runs at high priority when the flag is exactly 1, at normal priority otherwise.
void ApplyPriority(int32_t highPriority);

// The main window stays above all other windows when the flag is not 0.
void ApplyOnTop(int32_t onTop);
