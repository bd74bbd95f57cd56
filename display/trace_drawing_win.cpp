#include "display/trace_drawing_win.h"

#include "display/flood_fill.h"
#include "display/oscilloscope_math.h"

void DrawTrace(PixelBuffer& pixels, const float* samples, int count, int (*row)(float sample, int height),
               int height, const TracePen& pen) {
    int rows[kMaxTracePoints];
    if (count > kMaxTracePoints) count = kMaxTracePoints;
    for (int i = 0; i < count; ++i) rows[i] = row(samples[i], height);
    GdiFlush(); // finish what GDI still has to draw before the pixels are touched
    PaintThickPolyline(pixels, rows, count, pen.width, pen.pixel);
}

void FadeTrail(PixelBuffer& pixels, int probeX, int probeY) {
    if (!pixels.pixels || probeX < 0 || probeY < 0 || probeX >= pixels.width || probeY >= pixels.height) return;
    GdiFlush(); // the text drawn by GDI must be in the pixels
    const uint32_t probe = pixels.pixels[probeY * pixels.width + probeX];
    const int green = static_cast<int>((probe >> 8) & 0xFF);
    const int faded = FadedGreen(green);
    if (faded < 0) return;
    FloodFill(pixels, probeX, probeY, static_cast<uint32_t>(green) << 8, static_cast<uint32_t>(faded) << 8);
}
