#pragma once
// Operations on the user-interface elements by number. Every subsystem uses these; this
// floor includes nothing of the floors above it.
#include <string>

#include "ui/control_rect.h"
#include "ui/ui_state_win.h"

HWND WindowHandle(int window);
HWND ControlHandle(int control);
int WindowNumberOf(HWND hwnd); // -1 for windows that are not ours

// Hiding a window that has an owner activates the owner first; showing restores it.
void ShowWindowNumber(int window, bool show);
bool IsWindowNumberVisible(int window);

void SetControlImage(int control, ImageId image);
ImageId ControlImage(int control);
void ShowControl(int control, bool show);

void FocusControl(int control);
int FocusedControl(); // -1 when none of ours has the focus

// Cursor position in a window's client area; -1 when the cursor is outside it.
int CursorX(int window);
int CursorY(int window);

ControlRect ControlRectangle(int control); // relative to its window's client area
POINT WindowTopLeft(int window);          // outer rectangle, screen coordinates

void SetMenuCheck(int command, int value); // checked for any value but 0
void SetMenuGreyed(int command);
void ShowContextMenu();

void SetControlText(int control, const std::string& text);
void SetControlTextColor(int control, COLORREF color);
void SetControlBackColor(int control, COLORREF color);

void KeepMainWindowOnTop(bool onTop);
