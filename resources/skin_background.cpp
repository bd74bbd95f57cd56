#include <algorithm>
#include <array>
#include <vector>

#include "resources/skin.h"

static constexpr Rgb kOutside{255, 0, 152};
static constexpr Rgb kBlack{0, 0, 0};

// From the outline inwards.
static constexpr std::array<Rgb, 8> kRingColours{{
    {7, 50, 7},
    {11, 78, 11},
    {15, 110, 15},
    {20, 142, 20},
    {24, 170, 24},
    {27, 192, 27},
    {29, 207, 29},
    {31, 216, 31},
}};

static std::vector<bool> RegionMask() {
    std::vector<bool> inside(static_cast<size_t>(kSkinWidth) * kSkinHeight, false);
    for (const PixelRect& r : SkinRegionRects())
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, kSkinHeight); ++y)
            for (int x = std::max(r.left, 0); x < std::min(r.right, kSkinWidth); ++x)
                inside[static_cast<size_t>(y) * kSkinWidth + x] = true;
    return inside;
}

// Steps through edge neighbours from each pixel to the nearest pixel outside the outline
// (1 on the outline itself). Counting edge steps makes every ring a connected band of the
// same colour that bends around the cut corners, shrinking their cut by one pixel per ring,
// and leaves the black interior's corners square.
static std::vector<int> StepsToOutside(const std::vector<bool>& inside) {
    const int far = kSkinWidth + kSkinHeight;
    std::vector<int> steps(inside.size(), 0);
    auto at = [&](int x, int y) -> int {
        if (x < 0 || y < 0 || x >= kSkinWidth || y >= kSkinHeight)
            return 0;
        return steps[static_cast<size_t>(y) * kSkinWidth + x];
    };
    for (int y = 0; y < kSkinHeight; ++y)
        for (int x = 0; x < kSkinWidth; ++x)
            if (inside[static_cast<size_t>(y) * kSkinWidth + x])
                steps[static_cast<size_t>(y) * kSkinWidth + x] = std::min({far, at(x - 1, y) + 1, at(x, y - 1) + 1});
    for (int y = kSkinHeight - 1; y >= 0; --y)
        for (int x = kSkinWidth - 1; x >= 0; --x) {
            int& here = steps[static_cast<size_t>(y) * kSkinWidth + x];
            if (here > 0)
                here = std::min({here, at(x + 1, y) + 1, at(x, y + 1) + 1});
        }
    return steps;
}

Image SkinBackground() {
    Image image = MakeImage(kSkinWidth, kSkinHeight, kBlack);
    std::vector<bool> inside = RegionMask();
    std::vector<int> steps = StepsToOutside(inside);
    for (int y = 0; y < kSkinHeight; ++y)
        for (int x = 0; x < kSkinWidth; ++x) {
            int ring = steps[static_cast<size_t>(y) * kSkinWidth + x];
            if (ring == 0)
                PutPixel(image, x, y, kOutside);
            else if (ring <= static_cast<int>(kRingColours.size()))
                PutPixel(image, x, y, kRingColours[ring - 1]);
        }
    return image;
}
