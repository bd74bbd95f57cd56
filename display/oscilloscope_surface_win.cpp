#include "display/oscilloscope_surface_win.h"

OscilloscopeSurface g_oscilloscope;

bool OpenSurface(OscilloscopeSurface& s, HWND window, int width, int height) {
    CloseSurface(s);
    if (!window) return false;
    HDC windowDc = GetDC(window);
    if (!windowDc) return false;
    s.dc = CreateCompatibleDC(windowDc);
    ReleaseDC(window, windowDc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    s.bitmap = CreateDIBSection(s.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    s.pixels = {static_cast<uint32_t*>(bits), width, height};
    if (!s.dc || !s.bitmap || !bits) {
        CloseSurface(s);
        return false;
    }
    s.window = window;
    s.width = width;
    s.height = height;
    s.oldBitmap = SelectObject(s.dc, s.bitmap);
    RECT all = {0, 0, width, height};
    FillRect(s.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return true;
}

void CloseSurface(OscilloscopeSurface& s) {
    if (s.dc && s.oldBitmap) SelectObject(s.dc, s.oldBitmap);
    if (s.bitmap) DeleteObject(s.bitmap);
    if (s.dc) DeleteDC(s.dc);
    s = OscilloscopeSurface{};
}

void OpenOscilloscopeSurface(HWND window) {
    OpenSurface(g_oscilloscope, window, 200, 120);
}

void CloseOscilloscopeSurface() {
    CloseSurface(g_oscilloscope);
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
