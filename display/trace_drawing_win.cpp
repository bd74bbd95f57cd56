#include "display/trace_drawing_win.h"

#include "display/oscilloscope_math.h"

void DrawTrace(HDC dc, const float* samples, int count, int (*row)(float sample, int height), int height) {
    // One polyline instead of single segments: the same pixels with round joins where the
    // segments' round ends would meet, at a fraction of the cost for the wide pens.
    POINT points[kMaxTracePoints];
    if (count > kMaxTracePoints) count = kMaxTracePoints;
    for (int i = 0; i < count; ++i) points[i] = {i, row(samples[i], height)};
    if (count > 1) Polyline(dc, points, count);
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
