#pragma once
#include <windows.h>

#include "display/thick_line.h"

// An off-screen drawing surface that keeps its pixels between frames (the afterglow lives
// in them): a black 32-bit section selected into a memory drawing context. The main
// oscilloscope's is 200 x 120 at (10, 10) in the main window and exists only while the main
// window is shown; the mini window keeps two of its own.
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

// Opens a black surface of the given size for drawing into `window`; an open surface is
// closed first. False (and the surface closed) when it cannot be made.
bool OpenSurface(OscilloscopeSurface& surface, HWND window, int width, int height);
void CloseSurface(OscilloscopeSurface& surface);

// The main oscilloscope's surface. Opening an open surface closes it first.
void OpenOscilloscopeSurface(HWND window);
void CloseOscilloscopeSurface();
bool IsOscilloscopeSurfaceOpen();

// One copy of the whole surface into the window.
void PresentOscilloscopeSurface();
