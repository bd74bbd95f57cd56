#include "display/thick_line.h"

#include <gtest/gtest.h>

#include <tuple>
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
    std::vector<int> rows(50, 20);
    for (const auto& [pen, top, bottom] : {std::tuple{5, 18, 22}, std::tuple{2, 19, 20}}) {
        Canvas canvas(50, 40);
        PaintThickPolyline(canvas.buffer, rows.data(), 50, pen, kGreen);
        for (int y = top - 1; y <= bottom + 1; ++y)
            EXPECT_EQ(canvas.At(10, y), y >= top && y <= bottom ? kGreen : 0u) << pen << ": " << y;
    }
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

TEST(ThickLine, FarRowsAreClippedAndNothingToDrawLeavesTheBuffer) {
    Canvas canvas(20, 20);
    const int rows[4] = {-1000000, 1000000, 10, -5};
    PaintThickPolyline(canvas.buffer, rows, 4, 5, kGreen); // under the sanitizers: no write outside
    EXPECT_GT(canvas.Count(kGreen), 0);
    Canvas untouched(5, 5);
    PaintThickPolyline(untouched.buffer, rows + 2, 0, 5, kGreen);
    PaintThickPolyline(untouched.buffer, rows + 2, 1, 0, kGreen);
    PixelBuffer empty;
    PaintThickPolyline(empty, rows + 2, 1, 5, kGreen);
    EXPECT_EQ(untouched.Count(kGreen), 0);
}
