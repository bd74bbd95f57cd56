#pragma once
#include <cstdint>

// A 32-bit pixel buffer, rows top-down, pixels 0x00RRGGBB.
struct PixelBuffer {
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

// Paints the line through the points (i, rows[i]) for i = 0 to count - 1 with a round brush
// `penWidth` pixels across, clipped to the buffer: what a solid pen of that width draws,
// without going through a general path widener (the trace is drawn twice per frame).
void PaintThickPolyline(PixelBuffer& buffer, const int* rows, int count, int penWidth, uint32_t colour);
