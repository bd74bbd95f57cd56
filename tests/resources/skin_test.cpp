#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "resources/skin.h"
#include "tests/resources/image_checks.h"

namespace {

const Rgb kMagenta{255, 0, 152};
const Rgb kRings[8] = {{7, 50, 7},    {11, 78, 11},  {15, 110, 15}, {20, 142, 20},
                       {24, 170, 24}, {27, 192, 27}, {29, 207, 29}, {31, 216, 31}};

// The window outline as the documents give it: header (its size, rectangle type, count,
// bytes of rectangles, bounding box), then the rectangles (left, top, right, bottom).
const std::vector<int32_t> kRegionWords = {
    32, 1, 7, 112, 2, 2, 219, 269,
    5, 2, 216, 3, 4, 3, 217, 4, 3, 4, 218, 5, 2, 5, 219, 266,
    3, 266, 218, 267, 4, 267, 217, 268, 5, 268, 216, 269,
};

bool InRegion(int x, int y) {
    for (size_t at = 8; at < kRegionWords.size(); at += 4)
        if (x >= kRegionWords[at] && y >= kRegionWords[at + 1] && x < kRegionWords[at + 2] && y < kRegionWords[at + 3])
            return true;
    return false;
}

// 1 to 8 for a ring colour, 9 for anything else.
int RingOf(Rgb c) { return static_cast<int>(std::find(kRings, kRings + 8, c) - kRings) + 1; }

}  // namespace

TEST(Skin, RegionDataAndColoursAreTheDocumentedOnesAndTheFrameFollowsTheOutline) {
    const std::vector<uint8_t> region = SkinRegionData();
    ASSERT_EQ(region.size(), 4 * kRegionWords.size());
    for (size_t at = 0; at < region.size(); at += 4)  // little-endian 32-bit words, as ExtCreateRgn reads them
        EXPECT_EQ(static_cast<int32_t>(region[at] | region[at + 1] << 8 | region[at + 2] << 16 |
                                       static_cast<uint32_t>(region[at + 3]) << 24), kRegionWords[at / 4]) << at;
    Image skin = SkinBackground();
    ASSERT_TRUE(HasSize(skin, 220, 270));
    // The frame meets the black interior square at its corners; the rings along the four sides.
    for (auto [x, y] : {std::pair{9, 10}, {10, 9}, {211, 260}, {210, 261}}) EXPECT_EQ(PixelAt(skin, x, y), kRings[7]) << x << ", " << y;
    for (int ring = 0; ring < 8; ++ring)
        for (int along : {20, 110, 200})
            for (auto [x, y] : {std::pair{2 + ring, along}, {218 - ring, along}, {along, 2 + ring}, {along, 268 - ring}})
                EXPECT_EQ(PixelAt(skin, x, y), kRings[ring]) << x << ", " << y;
    // Every pixel: magenta exactly outside the outline, black inside the frame, and in the frame
    // one of the rings, the outermost along the outline, never jumping a ring to a neighbour,
    // the same in all four corners.
    for (int y = 0; y < 270; ++y)
        for (int x = 0; x < 220; ++x) {
            Rgb c = PixelAt(skin, x, y);
            ASSERT_EQ(c == kMagenta, !InRegion(x, y)) << x << ", " << y;
            if (c == kMagenta) continue;
            bool interior = x >= 10 && x <= 210 && y >= 10 && y <= 260;
            ASSERT_EQ(IsBlack(c), interior) << x << ", " << y;
            ASSERT_EQ(c, PixelAt(skin, 220 - x, y)) << x << ", " << y;
            ASSERT_EQ(c, PixelAt(skin, x, 270 - y)) << x << ", " << y;
            if (interior) continue;
            int ring = RingOf(c);
            ASSERT_LE(ring, 8) << x << ", " << y;
            bool onOutline = !InRegion(x - 1, y) || !InRegion(x + 1, y) || !InRegion(x, y - 1) || !InRegion(x, y + 1);
            ASSERT_EQ(onOutline, ring == 1) << x << ", " << y;
            for (Rgb next : {PixelAt(skin, x + 1, y), PixelAt(skin, x, y + 1)})
                ASSERT_TRUE(RingOf(next) > 8 || std::abs(ring - RingOf(next)) <= 1) << x << ", " << y;
        }
}

// Greens on a mostly black field, at tray size.
TEST(Skin, TrayIconIsGreenOnBlack) {
    Image icon = TrayIconImage();
    ASSERT_TRUE(HasSize(icon, 32, 32));
    int black = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            Rgb c = PixelAt(icon, x, y);
            ASSERT_TRUE(IsGreenFamily(c)) << x << ", " << y;
            black += IsBlack(c);
        }
    EXPECT_TRUE(black > 32 * 32 / 4 && black < 32 * 32) << black << " black pixels";
}
