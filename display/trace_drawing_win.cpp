#include "display/trace_drawing_win.h"

#include "display/oscilloscope_math.h"

void DrawTrace(HDC dc, const float* samples, int count, int (*row)(float sample, int height), int height) {
    for (int i = 1; i < count; ++i) {
        MoveToEx(dc, i - 1, row(samples[i - 1], height), nullptr);
        // The pens are wider than one pixel: their round ends cover both end points.
        LineTo(dc, i, row(samples[i], height));
    }
}

void FadeTrail(HDC dc, int probeX, int probeY) {
    const COLORREF probe = GetPixel(dc, probeX, probeY);
    if (probe == CLR_INVALID) return;
    const int green = GetGValue(probe);
    const int faded = FadedGreen(green);
    if (faded < 0) return;
    HBRUSH brush = CreateSolidBrush(RGB(0, faded, 0));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, faded, 0));
    {
        ScopedSelect selectBrush(dc, brush);
        ScopedSelect selectPen(dc, pen);
        ExtFloodFill(dc, probeX, probeY, RGB(0, green, 0), FLOODFILLSURFACE);
    }
    if (brush) DeleteObject(brush);
    if (pen) DeleteObject(pen);
}
