#include <gtest/gtest.h>

#include <limits>

#include "resources/canvas.h"
#include "tests/resources/image_checks.h"

namespace {
const Rgb kBlack{0, 0, 0};
const Rgb kGreen{0, 200, 0};
}  // namespace

TEST(Image, PixelsArePackedTopDownInBlueGreenRedOrder) {
    Image image = MakeImage(3, 2, kBlack);
    ASSERT_TRUE(HasExpectedSize(image, 3, 2));
    PutPixel(image, 1, 0, {10, 20, 30});
    PutPixel(image, 0, 1, {40, 50, 60});
    EXPECT_EQ(image.bgr[3], 30);
    EXPECT_EQ(image.bgr[4], 20);
    EXPECT_EQ(image.bgr[5], 10);
    // No row padding: row 1 starts right after the 9 bytes of row 0.
    EXPECT_EQ(image.bgr[9], 60);
    EXPECT_EQ(image.bgr[10], 50);
    EXPECT_EQ(image.bgr[11], 40);
    EXPECT_EQ(PixelAt(image, 0, 1), (Rgb{40, 50, 60}));
}

TEST(Image, SizeBelowOneGivesEmptyImage) {
    EXPECT_TRUE(HasExpectedSize(MakeImage(0, 5, kGreen), 0, 0));
    EXPECT_TRUE(HasExpectedSize(MakeImage(5, -1, kGreen), 0, 0));
}

TEST(Image, OutsideReadsBlackAndWritesAreIgnored) {
    Image image = MakeImage(2, 2, kGreen);
    std::vector<uint8_t> before = image.bgr;
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 2}, {1 << 30, 1 << 30}}) {
        EXPECT_TRUE(IsBlack(PixelAt(image, x, y)));
        PutPixel(image, x, y, {1, 2, 3});
    }
    EXPECT_EQ(image.bgr, before);
    Image empty;
    EXPECT_TRUE(IsBlack(PixelAt(empty, 0, 0)));
    PutPixel(empty, 0, 0, kGreen);
    EXPECT_TRUE(empty.bgr.empty());
}

TEST(Canvas, ShapeOnPixelBoundariesHasNoSoftEdge) {
    Image image = MakeImage(8, 8, kBlack);
    FillPolygon(image, {{2, 2}, {6, 2}, {6, 6}, {2, 6}}, kGreen);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
            EXPECT_EQ(PixelAt(image, x, y), inside ? kGreen : kBlack) << x << ", " << y;
        }
}

TEST(Canvas, PartlyCoveredPixelGetsItsShareOfTheColour) {
    Image image = MakeImage(3, 1, kBlack);
    FillPolygon(image, {{0, 0}, {1.5f, 0}, {1.5f, 1}, {0, 1}}, kGreen);
    EXPECT_EQ(PixelAt(image, 0, 0), kGreen);
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgb{0, 100, 0}));
    EXPECT_EQ(PixelAt(image, 2, 0), kBlack);
}

TEST(Canvas, StrokeCoversItsWidthAlongTheLineAndRoundsItsEnds) {
    Image image = MakeImage(10, 5, kBlack);
    StrokePolyline(image, {{2, 2.5f}, {8, 2.5f}}, 1.0f, kGreen);
    for (int x = 2; x < 8; ++x) {
        EXPECT_EQ(PixelAt(image, x, 2), kGreen) << x;
        EXPECT_EQ(PixelAt(image, x, 1), kBlack) << x;
        EXPECT_EQ(PixelAt(image, x, 3), kBlack) << x;
    }
    // The round ends reach half a pen width beyond the end points, partly covering.
    EXPECT_GT(PixelAt(image, 1, 2).g, 0);
    EXPECT_LT(PixelAt(image, 1, 2).g, 200);
    EXPECT_EQ(PixelAt(image, 0, 2), kBlack);
}

TEST(Canvas, ShapesPastTheEdgesAreClipped) {
    Image image = MakeImage(4, 4, kBlack);
    FillPolygon(image, {{-1e6f, -1e6f}, {1e6f, -1e6f}, {1e6f, 1e6f}, {-1e6f, 1e6f}}, kGreen);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(PixelAt(image, x, y), kGreen);
    FillRect(image, -10, -10, 100, 100, kBlack);
    EXPECT_EQ(PixelAt(image, 3, 3), kBlack);
    StrokePolyline(image, {{-50, -50}, {50, 50}}, 1.0f, kGreen);
    EXPECT_GT(PixelAt(image, 2, 2).g, 0);
}

TEST(Canvas, DegenerateShapesDrawNothing) {
    Image image = MakeImage(4, 4, kBlack);
    std::vector<uint8_t> before = image.bgr;
    FillPolygon(image, {}, kGreen);
    FillPolygon(image, {{0, 0}, {4, 4}}, kGreen);
    StrokePolyline(image, {}, 2.0f, kGreen);
    StrokePolyline(image, {{1, 1}, {3, 3}}, 0.0f, kGreen);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    FillPolygon(image, {{nan, 0}, {4, nan}, {nan, nan}}, kGreen);
    StrokePolyline(image, {{nan, nan}}, 2.0f, kGreen);
    FillRect(image, 3, 3, 1, 1, kGreen);
    FillVerticalGradient(image, 0, 2, 4, 2, kGreen, kGreen);
    EXPECT_EQ(image.bgr, before);
}

TEST(Canvas, GradientRunsFromTopColourToBottomColour) {
    Image image = MakeImage(2, 5, kBlack);
    FillVerticalGradient(image, 0, 0, 2, 5, {0, 200, 0}, {0, 40, 0});
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgb{0, 200, 0}));
    EXPECT_EQ(PixelAt(image, 1, 2), (Rgb{0, 120, 0}));
    EXPECT_EQ(PixelAt(image, 0, 4), (Rgb{0, 40, 0}));
    for (int y = 1; y < 5; ++y)
        EXPECT_LT(PixelAt(image, 0, y).g, PixelAt(image, 0, y - 1).g);
}
