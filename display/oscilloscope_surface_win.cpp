#include "display/oscilloscope_surface_win.h"

OscilloscopeSurface g_oscilloscope;

void OpenOscilloscopeSurface(HWND window) {
    CloseOscilloscopeSurface();
    if (!window) return;
    HDC windowDc = GetDC(window);
    if (!windowDc) return;
    OscilloscopeSurface& s = g_oscilloscope;
    s.dc = CreateCompatibleDC(windowDc);
    s.bitmap = CreateCompatibleBitmap(windowDc, s.width, s.height);
    ReleaseDC(window, windowDc);
    if (!s.dc || !s.bitmap) {
        CloseOscilloscopeSurface();
        return;
    }
    s.window = window;
    s.oldBitmap = SelectObject(s.dc, s.bitmap);
    RECT all = {0, 0, s.width, s.height};
    FillRect(s.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void CloseOscilloscopeSurface() {
    OscilloscopeSurface& s = g_oscilloscope;
    if (s.dc && s.oldBitmap) SelectObject(s.dc, s.oldBitmap);
    if (s.bitmap) DeleteObject(s.bitmap);
    if (s.dc) DeleteDC(s.dc);
    s = OscilloscopeSurface{};
}

bool IsOscilloscopeSurfaceOpen() {
    return g_oscilloscope.dc != nullptr;
}

void PresentOscilloscopeSurface() {
    const OscilloscopeSurface& s = g_oscilloscope;
    if (!s.dc) return;
    HDC windowDc = GetDC(s.window);
    if (!windowDc) return;
    BitBlt(windowDc, s.x, s.y, s.width, s.height, s.dc, 0, 0, SRCCOPY);
    ReleaseDC(s.window, windowDc);
}
