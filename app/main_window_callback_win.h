#pragma once
#include <windows.h>

// Sees every message of the main window before its own processing: the hand-over of a
// second instance, the slider's custom drawing, the end of the Windows session and a
// click on a balloon tip. Returns true with `result` set when the message is answered.
bool RunMainWindowCallback(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// What a second instance handed over: the path named by the atom, or nothing when the
// atom could not be read (the path was too long for an atom).
void TakeHandedOverPath(const char* path);

// Called when start-up is complete: paths handed over before then are taken now.
void StartTakingHandedOverPaths();
