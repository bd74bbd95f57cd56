#pragma once
// What the player's own windows share: their class, the place of a dialog over the main
// window, and the green buttons drawn by the dialogs themselves.
#include <windows.h>

constexpr int kDialogWidth = 202;
constexpr int kDialogHeight = 250;

// Black background, arrow cursor, this program's instance; registering again is harmless.
void RegisterWindowClass(const char* name, WNDPROC procedure, UINT style);

// A dialog's top left corner, centred over `owner`, never left of or above the screen.
POINT DialogPositionOver(HWND owner);

// An owner-drawn button: its own text, RGB(0, 200, 0) on black, RGB(0, 255, 0) while held.
void DrawDialogButton(const DRAWITEMSTRUCT& draw);

// A dialog's own event loop: dispatches until `done()` holds (the main loop does not run
// meanwhile). Enter and Escape are dropped: only the dialog's buttons end it. False when
// the program is asked to quit first; the quit is passed on to the main loop.
bool RunDialogLoop(bool (*done)());
