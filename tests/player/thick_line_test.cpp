#include "display/thick_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Canvas {
    std::vector<uint32_t> pixels;
    PixelBuffer buffer;
    Canvas(int width, int height) : pixels(static_cast<size_t>(width) * height, 0) {
        buffer = {pixels.data(), width, height};
    }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * buffer.width + x]; }
    int Count(uint32_t colour) const {
        int n = 0;
        for (uint32_t p : pixels) n += p == colour;
        return n;
    }
};

constexpr uint32_t kGreen = 0x0000FF00u;

} // namespace

TEST(ThickLine, FivePixelPenStampsARoundDot) {
    Canvas canvas(11, 11);
    const int row[1] = {5};
    PaintThickPolyline(canvas.buffer, row, 1, 5, kGreen);
    // The dot sits on column 0, so only its right half shows: the 5 x 5 disc without its
    // corners has columns of 5, 5 and 3 pixels from its centre outwards.
    EXPECT_EQ(canvas.Count(kGreen), 13);
    EXPECT_EQ(canvas.At(0, 3), kGreen);
    EXPECT_EQ(canvas.At(2, 6), kGreen);
    EXPECT_EQ(canvas.At(2, 7), 0u); // corner of the 5 x 5 square
    EXPECT_EQ(canvas.At(3, 5), 0u);
}

TEST(ThickLine, FlatLineIsAsThickAsThePen) {
    Canvas canvas(50, 40);
    std::vector<int> rows(50, 20);
    PaintThickPolyline(canvas.buffer, rows.data(), 50, 5, kGreen);
    for (int x = 2; x < 48; ++x) {
        for (int y = 18; y <= 22; ++y) EXPECT_EQ(canvas.At(x, y), kGreen) << x << "," << y;
        EXPECT_EQ(canvas.At(x, 17), 0u);
        EXPECT_EQ(canvas.At(x, 23), 0u);
    }
    Canvas thin(50, 40);
    PaintThickPolyline(thin.buffer, rows.data(), 50, 2, kGreen);
    EXPECT_EQ(thin.At(10, 19), kGreen);
    EXPECT_EQ(thin.At(10, 20), kGreen);
    EXPECT_EQ(thin.At(10, 18), 0u);
    EXPECT_EQ(thin.At(10, 21), 0u);
}

TEST(ThickLine, SteepSegmentLeavesNoGap) {
    Canvas canvas(4, 100);
    const int rows[2] = {5, 90};
    PaintThickPolyline(canvas.buffer, rows, 2, 2, kGreen);
    for (int y = 5; y <= 90; ++y) {
        const bool covered = canvas.At(0, y) == kGreen || canvas.At(1, y) == kGreen;
        EXPECT_TRUE(covered) << y;
    }
}

TEST(ThickLine, PointsOutsideAreClippedAndFarRowsDoNotHang) {
    Canvas canvas(20, 20);
    const int rows[4] = {-1000000, 1000000, 10, -5};
    PaintThickPolyline(canvas.buffer, rows, 4, 5, kGreen);
    // Only the buffer was written: the vector still has its size and the walk ended.
    EXPECT_EQ(canvas.pixels.size(), 400u);
    EXPECT_GT(canvas.Count(kGreen), 0);
}

TEST(ThickLine, NothingToDrawLeavesTheBuffer) {
    Canvas canvas(5, 5);
    const int rows[1] = {2};
    PaintThickPolyline(canvas.buffer, rows, 0, 5, kGreen);
    PaintThickPolyline(canvas.buffer, rows, 1, 0, kGreen);
    PixelBuffer empty;
    PaintThickPolyline(empty, rows, 1, 5, kGreen);
    EXPECT_EQ(canvas.Count(kGreen), 0);
}
