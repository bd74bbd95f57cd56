#include "display/oscilloscope_surface_win.h"

OscilloscopeSurface g_oscilloscope;

void OpenOscilloscopeSurface(HWND window) {
    CloseOscilloscopeSurface();
    if (!window) return;
    HDC windowDc = GetDC(window);
    if (!windowDc) return;
    OscilloscopeSurface& s = g_oscilloscope;
    s.dc = CreateCompatibleDC(windowDc);
    ReleaseDC(window, windowDc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = s.width;
    info.bmiHeader.biHeight = -s.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    s.bitmap = CreateDIBSection(s.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    s.pixels = {static_cast<uint32_t*>(bits), s.width, s.height};
    if (!s.dc || !s.bitmap || !bits) {
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
