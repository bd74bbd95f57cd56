#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "resources/canvas.h"
#include "tests/resources/image_checks.h"

namespace {
const Rgb kBlack{0, 0, 0};
const Rgb kGreen{0, 200, 0};
}  // namespace

// The byte order of a 24-bit device-independent bitmap, top-down and without row padding;
// nothing is read or written outside the image.
TEST(Image, PixelsArePackedTopDownInBlueGreenRedOrder) {
    Image image = MakeImage(3, 2, kBlack);
    ASSERT_TRUE(HasSize(image, 3, 2));
    PutPixel(image, 1, 0, {10, 20, 30});
    PutPixel(image, 0, 1, {40, 50, 60});
    const std::vector<uint8_t> expected = {0, 0, 0, 30, 20, 10, 0, 0, 0, 60, 50, 40, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(image.bgr, expected);
    EXPECT_EQ(PixelAt(image, 0, 1), (Rgb{40, 50, 60}));
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {1 << 30, 1 << 30}}) {
        EXPECT_TRUE(IsBlack(PixelAt(image, x, y)));
        PutPixel(image, x, y, {1, 2, 3});
    }
    EXPECT_EQ(image.bgr, expected);
    EXPECT_TRUE(HasSize(MakeImage(0, 5, kGreen), 0, 0) && HasSize(MakeImage(5, -1, kGreen), 0, 0));
    Image empty;
    PutPixel(empty, 0, 0, kGreen);
    EXPECT_TRUE(empty.bgr.empty());
}

// A pixel gets the share of the colour that the shape covers of it: all, half or nothing.
TEST(Canvas, FillCoversPixelsByTheirShare) {
    Image image = MakeImage(8, 8, kBlack);
    FillPolygon(image, {{2, 2}, {6, 2}, {6, 6}, {2, 6}}, kGreen);
    FillPolygon(image, {{0, 7}, {1.5f, 7}, {1.5f, 8}, {0, 8}}, kGreen);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(PixelAt(image, x, y), x >= 2 && x < 6 && y >= 2 && y < 6 ? kGreen : kBlack) << x << ", " << y;
    EXPECT_EQ(std::make_tuple(PixelAt(image, 0, 7), PixelAt(image, 1, 7), PixelAt(image, 2, 7)), std::make_tuple(kGreen, Rgb{0, 100, 0}, kBlack));
}

TEST(Canvas, ShapesPastTheEdgesAreClippedAndDegenerateOnesDrawNothing) {
    Image image = MakeImage(4, 4, kBlack);
    std::vector<uint8_t> before = image.bgr;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    FillPolygon(image, {}, kGreen);
    FillPolygon(image, {{0, 0}, {4, 4}}, kGreen);
    FillPolygon(image, {{nan, 0}, {4, nan}, {nan, nan}}, kGreen);
    StrokePolyline(image, {}, 2.0f, kGreen);
    StrokePolyline(image, {{1, 1}, {3, 3}}, 0.0f, kGreen);
    StrokePolyline(image, {{nan, nan}}, 2.0f, kGreen);
    FillRect(image, 3, 3, 1, 1, kGreen);
    FillVerticalGradient(image, 0, 2, 4, 2, kGreen, kGreen);
    EXPECT_EQ(image.bgr, before);
    FillPolygon(image, {{-1e6f, -1e6f}, {1e6f, -1e6f}, {1e6f, 1e6f}, {-1e6f, 1e6f}}, kGreen);
    EXPECT_TRUE(PixelAt(image, 0, 0) == kGreen && PixelAt(image, 3, 3) == kGreen);
    FillRect(image, -10, -10, 100, 100, kBlack);
    EXPECT_EQ(image.bgr, before);
    StrokePolyline(image, {{-50, -50}, {50, 50}}, 1.0f, kGreen);
    EXPECT_GT(PixelAt(image, 2, 2).g, 0);
}
