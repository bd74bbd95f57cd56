#pragma once
#include <windows.h>

#include "resources/images.h"
#include "ui/ui_numbers.h"

// The handles behind the user-interface numbers. Created once at start-up, alive until
// the program ends; a control that could not be created stays null and every operation
// on its number does nothing.
struct UiState {
    HINSTANCE instance = nullptr;
    HWND windows[kMainWindow + 1] = {};
    HWND controls[kControlCount] = {};
    ImageId shownImage[kControlCount] = {};
    HBITMAP images[static_cast<int>(ImageId::Count)] = {};

    // Colours of static controls, answered on WM_CTLCOLORSTATIC.
    COLORREF textColor[kControlCount] = {};
    COLORREF backColor[kControlCount] = {};
    HBRUSH backBrush[kControlCount] = {};

    HFONT timeFont = nullptr;
    HMENU contextMenu = nullptr;
    HACCEL shortcuts = nullptr;
    HRGN skinRegion = nullptr; // owned by the window once set
    HBRUSH skinBrush = nullptr; // the background bitmap as a pattern, tiled from the client origin
    HBITMAP skinBitmap = nullptr;
    HICON trayIcon = nullptr;
    bool trayIconAdded = false;
};

extern UiState g_ui;
