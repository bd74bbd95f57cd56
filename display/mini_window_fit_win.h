#pragma once
#include <windows.h>

// The task bar's band window ("ReBarWindow32" child of "Shell_TrayWnd"), looked up anew
// each time (the task bar may be rebuilt at any moment); null when there is none.
HWND FindTaskbarBand();

// Keeps the mini window (window 0) in the task bar: when the band window's rectangle has
// changed since the last fit, narrows the band by 100 pixels and puts the mini window,
// rounded, into the space freed right of it, with its buttons centred in height. Without a
// band window the mini window is hidden (it would be an empty box at the screen's corner)
// and the answer is false.
bool FitMiniWindow();
