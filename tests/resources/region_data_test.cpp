#include <gtest/gtest.h>

#include <algorithm>

#include "resources/skin.h"
#include "tests/resources/region_decoding.h"

TEST(SkinRegion, HeaderDescribesSevenRectanglesAndTheirBounds) {
    std::vector<uint8_t> bytes = SkinRegionData();
    ASSERT_EQ(bytes.size(), 144u);
    DecodedRegion region = DecodeRegion(bytes);
    EXPECT_EQ(region.headerSize, 32u);
    EXPECT_EQ(region.type, 1u);
    EXPECT_EQ(region.count, 7u);
    EXPECT_EQ(region.rectBytes, 7u * 16u);
    EXPECT_EQ(region.bound, (DecodedRect{2, 2, 219, 269}));
    EXPECT_EQ(region.rects.size(), region.count);
}

TEST(SkinRegion, RectanglesCutEachCornerInThreeSteps) {
    DecodedRegion region = DecodeRegion(SkinRegionData());
    std::vector<DecodedRect> expected = {
        {5, 2, 216, 3}, {4, 3, 217, 4}, {3, 4, 218, 5}, {2, 5, 219, 266},
        {3, 266, 218, 267}, {4, 267, 217, 268}, {5, 268, 216, 269},
    };
    EXPECT_EQ(region.rects, expected);
}

TEST(SkinRegion, BoundingBoxIsTheTightHullOfTheRectangles) {
    DecodedRegion region = DecodeRegion(SkinRegionData());
    ASSERT_FALSE(region.rects.empty());
    DecodedRect hull = region.rects.front();
    for (const DecodedRect& r : region.rects) {
        hull.left = std::min(hull.left, r.left);
        hull.top = std::min(hull.top, r.top);
        hull.right = std::max(hull.right, r.right);
        hull.bottom = std::max(hull.bottom, r.bottom);
    }
    EXPECT_EQ(hull, region.bound);
    // The visible panel: 217 x 267.
    EXPECT_EQ(hull.right - hull.left, 217);
    EXPECT_EQ(hull.bottom - hull.top, 267);
}

// Region rectangles must not overlap and must come in top-to-bottom bands, or the region the
// system builds from them differs from the outline.
TEST(SkinRegion, RectanglesAreDisjointBandsCoveringEveryRowOnce) {
    DecodedRegion region = DecodeRegion(SkinRegionData());
    long areaSum = 0;
    for (size_t i = 0; i < region.rects.size(); ++i) {
        const DecodedRect& r = region.rects[i];
        EXPECT_LT(r.left, r.right);
        EXPECT_LT(r.top, r.bottom);
        areaSum += static_cast<long>(r.right - r.left) * (r.bottom - r.top);
        if (i > 0) {
            EXPECT_EQ(region.rects[i - 1].bottom, r.top) << "rectangle " << i;
        }
    }
    long covered = 0;
    for (int y = 0; y < kSkinHeight; ++y)
        for (int x = 0; x < kSkinWidth; ++x)
            covered += RegionCovers(region, x, y) ? 1 : 0;
    EXPECT_EQ(areaSum, covered);
    // 217 x 267 less three pixels cut from the rows nearest each corner: 3 + 2 + 1 per corner.
    EXPECT_EQ(covered, 217L * 267L - 4L * 6L);
}

TEST(SkinRegion, RectangleListMatchesTheEncodedData) {
    DecodedRegion region = DecodeRegion(SkinRegionData());
    std::vector<PixelRect> rects = SkinRegionRects();
    ASSERT_EQ(rects.size(), region.rects.size());
    for (size_t i = 0; i < rects.size(); ++i)
        EXPECT_EQ((DecodedRect{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom}), region.rects[i]);
}
