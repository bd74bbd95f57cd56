#include <gtest/gtest.h>

#include <cstdlib>

#include "resources/skin.h"
#include "tests/resources/image_checks.h"
#include "tests/resources/region_decoding.h"

namespace {

const Rgb kMagenta{255, 0, 152};
const Rgb kRings[8] = {{7, 50, 7},     {11, 78, 11},   {15, 110, 15}, {20, 142, 20},
                       {24, 170, 24},  {27, 192, 27},  {29, 207, 29}, {31, 216, 31}};

// 1 to 8 for a ring colour, 9 for black, 0 for anything else.
int RingOf(Rgb c) {
    for (int i = 0; i < 8; ++i)
        if (c == kRings[i])
            return i + 1;
    return IsBlack(c) ? 9 : 0;
}

class SkinBackgroundTest : public ::testing::Test {
protected:
    Image skin = SkinBackground();
    DecodedRegion region = DecodeRegion(SkinRegionData());
};

}  // namespace

TEST_F(SkinBackgroundTest, IsTheWindowSizeIn24BitPixels) {
    EXPECT_TRUE(HasExpectedSize(skin, 220, 270));
}

TEST_F(SkinBackgroundTest, RingsRunFromDarkOutsideToBrightInsideOnEverySide) {
    for (int y : {20, 100, 250}) {
        for (int ring = 1; ring <= 8; ++ring) {
            EXPECT_EQ(PixelAt(skin, 1 + ring, y), kRings[ring - 1]) << "left, y " << y;
            EXPECT_EQ(PixelAt(skin, 219 - ring, y), kRings[ring - 1]) << "right, y " << y;
        }
    }
    for (int x : {20, 110, 200}) {
        for (int ring = 1; ring <= 8; ++ring) {
            EXPECT_EQ(PixelAt(skin, x, 1 + ring), kRings[ring - 1]) << "top, x " << x;
            EXPECT_EQ(PixelAt(skin, x, 269 - ring), kRings[ring - 1]) << "bottom, x " << x;
        }
    }
}

TEST_F(SkinBackgroundTest, InteriorIsBlackUpToTheFrame) {
    for (int y = 10; y <= 260; ++y)
        for (int x = 10; x <= 210; ++x)
            ASSERT_TRUE(IsBlack(PixelAt(skin, x, y))) << x << ", " << y;
    // The frame ends right at the interior on all four sides, the corners included.
    EXPECT_EQ(PixelAt(skin, 9, 10), kRings[7]);
    EXPECT_EQ(PixelAt(skin, 10, 9), kRings[7]);
    EXPECT_EQ(PixelAt(skin, 211, 260), kRings[7]);
    EXPECT_EQ(PixelAt(skin, 210, 261), kRings[7]);
}

TEST_F(SkinBackgroundTest, MagentaExactlyWhereTheRegionDoesNotReach) {
    for (int y = 0; y < 270; ++y)
        for (int x = 0; x < 220; ++x) {
            bool magenta = PixelAt(skin, x, y) == kMagenta;
            ASSERT_EQ(magenta, !RegionCovers(region, x, y)) << x << ", " << y;
        }
}

TEST_F(SkinBackgroundTest, EveryFramePixelIsOneOfTheEightRings) {
    for (int y = 0; y < 270; ++y)
        for (int x = 0; x < 220; ++x) {
            bool inInterior = x >= 10 && x <= 210 && y >= 10 && y <= 260;
            if (!RegionCovers(region, x, y) || inInterior)
                continue;
            int ring = RingOf(PixelAt(skin, x, y));
            ASSERT_GE(ring, 1) << x << ", " << y << " is " << PixelAt(skin, x, y);
            ASSERT_LE(ring, 8) << x << ", " << y;
        }
}

// The outermost ring follows the outline into the cut corners, and inward the shade never
// jumps: any two neighbouring pixels of the window are at most one ring apart.
TEST_F(SkinBackgroundTest, ShadingFollowsTheOutlineIntoTheCutCorners) {
    for (int y = 0; y < 270; ++y)
        for (int x = 0; x < 220; ++x) {
            if (!RegionCovers(region, x, y))
                continue;
            int ring = RingOf(PixelAt(skin, x, y));
            bool onOutline = !RegionCovers(region, x - 1, y) || !RegionCovers(region, x + 1, y) ||
                             !RegionCovers(region, x, y - 1) || !RegionCovers(region, x, y + 1);
            if (onOutline) {
                ASSERT_EQ(ring, 1) << x << ", " << y;
            }
            if (RegionCovers(region, x + 1, y)) {
                ASSERT_LE(std::abs(ring - RingOf(PixelAt(skin, x + 1, y))), 1) << x << ", " << y;
            }
            if (RegionCovers(region, x, y + 1)) {
                ASSERT_LE(std::abs(ring - RingOf(PixelAt(skin, x, y + 1))), 1) << x << ", " << y;
            }
        }
    // The cut corner's steps, top left: outline pixels on the diagonal, outside beside them.
    EXPECT_EQ(PixelAt(skin, 5, 2), kRings[0]);
    EXPECT_EQ(PixelAt(skin, 4, 3), kRings[0]);
    EXPECT_EQ(PixelAt(skin, 3, 4), kRings[0]);
    EXPECT_EQ(PixelAt(skin, 2, 5), kRings[0]);
    EXPECT_EQ(PixelAt(skin, 3, 3), kMagenta);
    EXPECT_EQ(PixelAt(skin, 0, 0), kMagenta);
    EXPECT_NE(RingOf(PixelAt(skin, 4, 4)), 1) << "second ring bends round the corner";
}

// The outline is symmetric, so its frame must be too: this catches one corner or one side
// drawn differently from the others.
TEST_F(SkinBackgroundTest, FrameIsMirrorSymmetric) {
    for (int y = 1; y < 270; ++y)
        for (int x = 1; x < 220; ++x) {
            ASSERT_EQ(PixelAt(skin, x, y), PixelAt(skin, 220 - x, y)) << x << ", " << y;
            ASSERT_EQ(PixelAt(skin, x, y), PixelAt(skin, x, 270 - y)) << x << ", " << y;
        }
}
