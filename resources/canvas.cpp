#include "resources/canvas.h"

#include <algorithm>
#include <cmath>
#include <functional>

// 4 x 4 samples per pixel: 16 shades of edge are plenty at these sizes.
static constexpr int kSamplesPerSide = 4;

static uint8_t MixChannel(uint8_t a, uint8_t b, float t) {
    float value = static_cast<float>(a) + (static_cast<float>(b) - static_cast<float>(a)) * t;
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

Rgb Mix(Rgb a, Rgb b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {MixChannel(a.r, b.r, t), MixChannel(a.g, b.g, t), MixChannel(a.b, b.b, t)};
}

void FillRect(Image& image, int left, int top, int right, int bottom, Rgb colour) {
    for (int y = std::max(top, 0); y < std::min(bottom, image.height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, image.width); ++x)
            PutPixel(image, x, y, colour);
}

void FillVerticalGradient(Image& image, int left, int top, int right, int bottom, Rgb topColour,
                          Rgb bottomColour) {
    int rows = bottom - top;
    for (int y = top; y < bottom; ++y) {
        float t = rows > 1 ? static_cast<float>(y - top) / static_cast<float>(rows - 1) : 0.0f;
        FillRect(image, left, y, right, y + 1, Mix(topColour, bottomColour, t));
    }
}

// Mixes `colour` into every pixel of the box by the share of its samples that `covers` accepts.
static void PaintCoverage(Image& image, float minX, float minY, float maxX, float maxY, Rgb colour,
                          const std::function<bool(float, float)>& covers) {
    // Clamped before the conversion, so far-off or NaN coordinates cannot overflow an int.
    if (!(minX <= maxX) || !(minY <= maxY))
        return;
    float width = static_cast<float>(image.width), height = static_cast<float>(image.height);
    int left = static_cast<int>(std::floor(std::clamp(minX, 0.0f, width)));
    int top = static_cast<int>(std::floor(std::clamp(minY, 0.0f, height)));
    int right = static_cast<int>(std::ceil(std::clamp(maxX, 0.0f, width)));
    int bottom = static_cast<int>(std::ceil(std::clamp(maxY, 0.0f, height)));
    const float step = 1.0f / kSamplesPerSide;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamplesPerSide; ++sy)
                for (int sx = 0; sx < kSamplesPerSide; ++sx)
                    if (covers(x + (sx + 0.5f) * step, y + (sy + 0.5f) * step))
                        ++hits;
            if (hits == 0)
                continue;
            float share = static_cast<float>(hits) / (kSamplesPerSide * kSamplesPerSide);
            PutPixel(image, x, y, Mix(PixelAt(image, x, y), colour, share));
        }
    }
}

static bool InsideOutline(const std::vector<Point>& outline, float px, float py) {
    bool inside = false;
    size_t count = outline.size();
    for (size_t i = 0, j = count - 1; i < count; j = i++) {
        const Point& a = outline[i];
        const Point& b = outline[j];
        if ((a.y > py) != (b.y > py)) {
            float crossX = a.x + (py - a.y) * (b.x - a.x) / (b.y - a.y);
            if (px < crossX)
                inside = !inside;
        }
    }
    return inside;
}

void FillPolygon(Image& image, const std::vector<Point>& outline, Rgb colour) {
    if (outline.size() < 3)
        return;
    float minX = outline[0].x, maxX = outline[0].x, minY = outline[0].y, maxY = outline[0].y;
    for (const Point& p : outline) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    PaintCoverage(image, minX, minY, maxX, maxY, colour,
                  [&](float x, float y) { return InsideOutline(outline, x, y); });
}

static float DistanceSquaredToSegment(Point a, Point b, float px, float py) {
    float dx = b.x - a.x, dy = b.y - a.y;
    float lengthSquared = dx * dx + dy * dy;
    float t = 0.0f;
    if (lengthSquared > 0.0f)
        t = std::clamp(((px - a.x) * dx + (py - a.y) * dy) / lengthSquared, 0.0f, 1.0f);
    float ex = a.x + t * dx - px, ey = a.y + t * dy - py;
    return ex * ex + ey * ey;
}

void StrokePolyline(Image& image, const std::vector<Point>& points, float width, Rgb colour) {
    if (points.empty() || width <= 0.0f)
        return;
    float half = width / 2;
    float minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
    for (const Point& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    float reach = half * half;
    PaintCoverage(image, minX - half, minY - half, maxX + half, maxY + half, colour, [&](float x, float y) {
        if (points.size() == 1)
            return DistanceSquaredToSegment(points[0], points[0], x, y) <= reach;
        for (size_t i = 1; i < points.size(); ++i)
            if (DistanceSquaredToSegment(points[i - 1], points[i], x, y) <= reach)
                return true;
        return false;
    });
}

void StampPattern(Image& image, int left, int top, const std::vector<const char*>& rows, Rgb colour) {
    for (size_t row = 0; row < rows.size(); ++row)
        for (int column = 0; rows[row][column] != '\0'; ++column)
            if (rows[row][column] == '#')
                PutPixel(image, left + column, top + static_cast<int>(row), colour);
}
