#pragma once
#include <windows.h>

#include "app/events.h"

// Window procedures of the player's three windows. They turn what the controls, the menu,
// the shortcuts and the tray report into events (see events.h), noted for the wait that is
// dispatching the message.
LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MiniWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
