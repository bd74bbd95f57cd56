#include "display/trace_drawing_win.h"

#include "display/oscilloscope_math.h"

void DrawTrace(PixelBuffer& pixels, const float* samples, int count, int (*row)(float sample, int height),
               int height, const TracePen& pen) {
    int rows[kMaxTracePoints];
    if (count > kMaxTracePoints) count = kMaxTracePoints;
    for (int i = 0; i < count; ++i) rows[i] = row(samples[i], height);
    GdiFlush(); // finish what GDI still has to draw before the pixels are touched
    PaintThickPolyline(pixels, rows, count, pen.width, pen.pixel);
}

void FadeTrail(HDC dc, int probeX, int probeY) {
    const COLORREF probe = GetPixel(dc, probeX, probeY);
    if (probe == CLR_INVALID) return;
    const int green = GetGValue(probe);
    const int faded = FadedGreen(green);
    if (faded < 0) return;
    HBRUSH brush = CreateSolidBrush(RGB(0, faded, 0));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, faded, 0));
    HGDIOBJ oldBrush = brush ? SelectObject(dc, brush) : nullptr;
    HGDIOBJ oldPen = pen ? SelectObject(dc, pen) : nullptr;
    ExtFloodFill(dc, probeX, probeY, RGB(0, green, 0), FLOODFILLSURFACE);
    if (oldPen) SelectObject(dc, oldPen);
    if (oldBrush) SelectObject(dc, oldBrush);
    if (brush) DeleteObject(brush);
    if (pen) DeleteObject(pen);
}
