#pragma once
#include <windows.h>

#include "display/thick_line.h"

// The oscilloscope's 200 x 120 off-screen surface at (10, 10) in the main window. It keeps
// its pixels between frames (the afterglow lives in them) and exists only while the main
// window is shown.
struct OscilloscopeSurface {
    HWND window = nullptr;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr; // a 32-bit section: the traces are painted into `pixels` directly
    PixelBuffer pixels;
    HGDIOBJ oldBitmap = nullptr;
    int x = 10;
    int y = 10;
    int width = 200;
    int height = 120;
};

extern OscilloscopeSurface g_oscilloscope;

// Opening an open surface closes it first.
void OpenOscilloscopeSurface(HWND window);
void CloseOscilloscopeSurface();
bool IsOscilloscopeSurfaceOpen();

// One copy of the whole surface into the window.
void PresentOscilloscopeSurface();
