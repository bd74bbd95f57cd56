#pragma once
#include <windows.h>

// Creates the hidden mini window (window 0) with its controls 3, 2, 4 and 1, owned by the
// task bar's band window so that it stays above the task bar.
void CreateMiniWindow();
