#pragma once
#include <vector>

#include "resources/image.h"

// Small drawing helpers for the generated images. Coordinates of shapes are in pixel units
// where pixel (x, y) covers the square [x, x+1) x [y, y+1); edges are smoothed by measuring how
// much of each pixel a shape covers and mixing its colour in by that share.

struct Point {
    float x = 0;
    float y = 0;
};

// Linear mix: t = 0 gives a, t = 1 gives b.
Rgb Mix(Rgb a, Rgb b, float t);

// Rectangles take pixel bounds, right and bottom exclusive.
void FillRect(Image& image, int left, int top, int right, int bottom, Rgb colour);
void FillVerticalGradient(Image& image, int left, int top, int right, int bottom, Rgb topColour,
                          Rgb bottomColour);

// Even-odd fill of a closed outline.
void FillPolygon(Image& image, const std::vector<Point>& outline, Rgb colour);

// A pen of the given width drawn along connected segments, with round ends and joins.
void StrokePolyline(Image& image, const std::vector<Point>& points, float width, Rgb colour);

// Sets the pixels marked '#' in the rows of a small hand-drawn pattern.
void StampPattern(Image& image, int left, int top, const std::vector<const char*>& rows, Rgb colour);
