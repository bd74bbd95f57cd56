#pragma once
// What the player's own windows share: their class, the place of a dialog over the main
// window, and the green buttons drawn by the dialogs themselves.
#include <windows.h>

constexpr int kDialogWidth = 202;
constexpr int kDialogHeight = 250;

// Black background, arrow cursor, this program's instance; registering again is harmless.
void RegisterWindowClass(const char* name, WNDPROC procedure, UINT style);

// One of the player's dialogs, not shown yet: a borderless pop-up of its own class with
// this title, owned by the main window and centred over it. The main window takes no input
// until CloseDialogWindow. Null when the window cannot be made.
HWND OpenDialogWindow(const char* className, WNDPROC procedure, const char* title);

// Enables the main window first, so that it, not another program, becomes active again.
void CloseDialogWindow(HWND dialog);

// A child control of a dialog in the system's default GUI font.
HWND AddDialogControl(HWND dialog, const char* kind, const char* text, DWORD style, int x, int y, int width,
                      int height, int id);

// A dialog's top left corner, centred over `owner`, never left of or above the screen.
POINT DialogPositionOver(HWND owner);

// An owner-drawn button: its own text, RGB(0, 200, 0) on black, RGB(0, 255, 0) while held.
void DrawDialogButton(const DRAWITEMSTRUCT& draw);

// A dialog's own event loop: dispatches until `done()` holds (the main loop does not run
// meanwhile). Enter and Escape are dropped: only the dialog's buttons end it. False when
// the program is asked to quit first; the quit is passed on to the main loop.
bool RunDialogLoop(bool (*done)());

// The dialog loop until a button the dialog's procedure passes to NoteButtonClicked is
// clicked: its id; 0 when the program is asked to quit first.
int RunUntilButton();
void NoteButtonClicked(int id);
