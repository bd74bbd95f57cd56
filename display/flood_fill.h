#pragma once
#include <cstdint>

#include "display/thick_line.h"

// Repaints in `to` the area of pixels of colour `from` (low 24 bits compared) that holds
// (x, y) and is joined left, right, up or down: what a surface flood fill of the drawing
// library does, without a brush, a pen and a trip through it every frame.
void FloodFill(PixelBuffer& buffer, int x, int y, uint32_t from, uint32_t to);
