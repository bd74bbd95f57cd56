#include "display/thick_line.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Rows far outside the buffer are brought closer: x moves by one per segment, so the
// visible part of a steep segment hardly changes, and the walk stays short.
int ClampRow(int row, int height) {
    return std::clamp(row, -64, height + 64);
}

// Pixels of the brush around a centre pixel. Odd widths: a disc centred on the pixel;
// even widths: a square block, as an even pen sits between pixel centres.
bool InBrush(int dx, int dy, int penWidth) {
    if (penWidth % 2 == 0) {
        const int half = penWidth / 2;
        return dx >= -half && dx < half && dy >= -half && dy < half;
    }
    const int twiceRadius = penWidth; // compare (2dx)^2 + (2dy)^2 <= width^2
    return 4 * (dx * dx + dy * dy) <= twiceRadius * twiceRadius;
}

void Stamp(PixelBuffer& buffer, int x, int y, int penWidth, uint32_t colour) {
    const int reach = penWidth / 2;
    for (int dy = -reach; dy <= reach; ++dy) {
        const int py = y + dy;
        if (py < 0 || py >= buffer.height) continue;
        uint32_t* row = buffer.pixels + static_cast<size_t>(py) * buffer.width;
        for (int dx = -reach; dx <= reach; ++dx) {
            const int px = x + dx;
            if (px >= 0 && px < buffer.width && InBrush(dx, dy, penWidth)) row[px] = colour;
        }
    }
}

void PaintSegment(PixelBuffer& buffer, int x0, int y0, int x1, int y1, int penWidth, uint32_t colour) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        Stamp(buffer, x0, y0, penWidth, colour);
        if (x0 == x1 && y0 == y1) break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

} // namespace

void PaintThickPolyline(PixelBuffer& buffer, const int* rows, int count, int penWidth, uint32_t colour) {
    if (!buffer.pixels || buffer.width <= 0 || buffer.height <= 0 || penWidth <= 0 || count <= 0) return;
    if (count == 1) {
        Stamp(buffer, 0, ClampRow(rows[0], buffer.height), penWidth, colour);
        return;
    }
    for (int i = 1; i < count; ++i)
        PaintSegment(buffer, i - 1, ClampRow(rows[i - 1], buffer.height), i, ClampRow(rows[i], buffer.height),
                     penWidth, colour);
}
