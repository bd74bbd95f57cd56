#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "resources/images.h"
#include "tests/resources/image_checks.h"

namespace {

struct Button {
    const char* name;
    ImageId normal, hover;
    int width, height;
};

using I = ImageId;
const Button kButtons[] = {
    {"Close", I::CloseNormal, I::CloseHover, 10, 10},       {"Minimize", I::MinimizeNormal, I::MinimizeHover, 10, 10},
    {"About", I::AboutNormal, I::AboutHover, 10, 10},       {"Play", I::PlayNormal, I::PlayHover, 50, 18},
    {"Pause", I::PauseNormal, I::PauseHover, 50, 18},       {"Stop", I::StopNormal, I::StopHover, 50, 18},
    {"Previous", I::PreviousNormal, I::PreviousHover, 50, 18}, {"Next", I::NextNormal, I::NextHover, 50, 18},
    {"MiniPlay", I::MiniPlayNormal, I::MiniPlayHover, 30, 18}, {"MiniPause", I::MiniPauseNormal, I::MiniPauseHover, 30, 18},
    {"MiniPrevious", I::MiniPreviousNormal, I::MiniPreviousHover, 30, 18},
    {"MiniNext", I::MiniNextNormal, I::MiniNextHover, 30, 18},
};

}  // namespace

// The size of its control, greens and black only, and the hover image the same drawing
// (black where the normal one is black) in brighter greens. The transport buttons: a raised
// frame three pixels wide, lit from the top left, round a black field with a glyph tall
// enough to read.
TEST(ButtonImages, EachPairFitsItsControlHoverIsBrighterAndTransportGlyphsSitInABevel) {
    for (const Button& b : kButtons) {
        const Image normal = MakeButtonImage(b.normal), hover = MakeButtonImage(b.hover);
        ASSERT_TRUE(HasSize(normal, b.width, b.height) && HasSize(hover, b.width, b.height)) << b.name;
        long greens[2] = {};
        for (const Image* image : {&normal, &hover}) {
            const int w = b.width, h = b.height;
            int glyphRows = 0;
            for (int y = 0; y < h; ++y) {
                bool glyphInRow = false;
                for (int x = 0; x < w; ++x) {
                    const Rgb c = PixelAt(*image, x, y);
                    ASSERT_TRUE(IsGreenFamily(c) && IsBlack(c) == IsBlack(PixelAt(normal, x, y))) << b.name << " at " << x << ", " << y;
                    greens[image == &hover] += c.g;
                    const bool frame = x < 3 || y < 3 || x >= w - 3 || y >= h - 3;
                    ASSERT_TRUE(h != 18 || !IsBlack(c) || !frame) << b.name << " at " << x << ", " << y;
                    glyphInRow |= !IsBlack(c) && !frame;
                }
                glyphRows += glyphInRow;
            }
            if (h != 18) continue;
            EXPECT_GT(PixelAt(*image, w / 2, 1).g, PixelAt(*image, w / 2, h - 2).g) << b.name;
            EXPECT_GT(PixelAt(*image, 1, h / 2).g, PixelAt(*image, w - 2, h / 2).g) << b.name;
            EXPECT_GE(glyphRows, 8) << b.name;
        }
        EXPECT_LT(greens[0], greens[1]) << b.name;
    }
}

// Buttons of one size show different drawings. The window outline hides the top two rows of
// the 10 x 10 ones, so what tells those apart must be drawn below.
TEST(ButtonImages, ButtonsOfOneSizeDifferInTheRowsThatAreSeen) {
    for (const Button& one : kButtons)
        for (const Button& other : kButtons)
            for (bool hover : {false, true}) {
                if (&one >= &other || one.width != other.width) continue;
                const Image a = MakeButtonImage(hover ? one.hover : one.normal), b = MakeButtonImage(hover ? other.hover : other.normal);
                const long hidden = one.height == 10 ? 2 * 10 * 3 : 0;
                ASSERT_TRUE(a.bgr.size() == b.bgr.size() && long(a.bgr.size()) > hidden) << one.name << other.name;
                EXPECT_TRUE(std::equal(a.bgr.begin(), a.bgr.begin() + hidden, b.bgr.begin())) << one.name << other.name;
                EXPECT_FALSE(std::equal(a.bgr.begin() + hidden, a.bgr.end(), b.bgr.begin() + hidden)) << one.name << other.name;
            }
}

// Normal: a dark X on the green square; hover: a bright X. The X crosses at the centre of the
// seen rows; the square's shade is the median of those rows, the mark covering far less.
TEST(ButtonImages, CloseMarkIsDarkWhenNormalAndBrightOnHover) {
    for (bool hover : {false, true}) {
        const Image image = MakeButtonImage(hover ? ImageId::CloseHover : ImageId::CloseNormal);
        std::vector<int> greens;
        for (int y = 2; y < 10; ++y)
            for (int x = 0; x < 10; ++x) greens.push_back(PixelAt(image, x, y).g);
        std::nth_element(greens.begin(), greens.begin() + greens.size() / 2, greens.end());
        const int square = greens[greens.size() / 2];
        for (int crossing : {PixelAt(image, 4, 5).g, PixelAt(image, 5, 5).g, PixelAt(image, 4, 6).g, PixelAt(image, 5, 6).g})
            EXPECT_TRUE(hover ? crossing > square + 40 : crossing * 2 < square) << hover << ": " << crossing;
    }
}
