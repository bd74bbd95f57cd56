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

const Button kButtons[] = {
    {"Close", ImageId::CloseNormal, ImageId::CloseHover, 10, 10},
    {"Minimize", ImageId::MinimizeNormal, ImageId::MinimizeHover, 10, 10},
    {"About", ImageId::AboutNormal, ImageId::AboutHover, 10, 10},
    {"Play", ImageId::PlayNormal, ImageId::PlayHover, 50, 18},
    {"Pause", ImageId::PauseNormal, ImageId::PauseHover, 50, 18},
    {"Stop", ImageId::StopNormal, ImageId::StopHover, 50, 18},
    {"Previous", ImageId::PreviousNormal, ImageId::PreviousHover, 50, 18},
    {"Next", ImageId::NextNormal, ImageId::NextHover, 50, 18},
    {"MiniPlay", ImageId::MiniPlayNormal, ImageId::MiniPlayHover, 30, 18},
    {"MiniPause", ImageId::MiniPauseNormal, ImageId::MiniPauseHover, 30, 18},
    {"MiniPrevious", ImageId::MiniPreviousNormal, ImageId::MiniPreviousHover, 30, 18},
    {"MiniNext", ImageId::MiniNextNormal, ImageId::MiniNextHover, 30, 18},
};

}  // namespace

// The size of its control, greens and black only, and the hover image the same drawing
// (black where the normal one is black) in brighter greens.
TEST(ButtonImages, EachPairFitsItsControlAndHoverIsBrighter) {
    for (const Button& b : kButtons) {
        Image normal = MakeButtonImage(b.normal), hover = MakeButtonImage(b.hover);
        ASSERT_TRUE(HasSize(normal, b.width, b.height) && HasSize(hover, b.width, b.height)) << b.name;
        long sumNormal = 0, sumHover = 0;
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                Rgb n = PixelAt(normal, x, y), h = PixelAt(hover, x, y);
                ASSERT_TRUE(IsGreenFamily(n) && IsGreenFamily(h)) << b.name << " at " << x << ", " << y;
                ASSERT_EQ(IsBlack(n), IsBlack(h)) << b.name << " at " << x << ", " << y;
                sumNormal += n.g;
                sumHover += h.g;
            }
        EXPECT_LT(sumNormal, sumHover) << b.name;
    }
}

// Buttons of one size show different drawings. The window outline hides the top two rows of
// the 10 x 10 ones, so what tells those apart must be drawn below.
TEST(ButtonImages, ButtonsOfOneSizeDifferInTheRowsThatAreSeen) {
    for (const Button& one : kButtons)
        for (const Button& other : kButtons)
            for (bool hover : {false, true}) {
                if (&one >= &other || one.width != other.width)
                    continue;
                Image a = MakeButtonImage(hover ? one.hover : one.normal);
                Image b = MakeButtonImage(hover ? other.hover : other.normal);
                size_t hidden = one.height == 10 ? 2 * 10 * 3 : 0;
                ASSERT_TRUE(a.bgr.size() == b.bgr.size() && a.bgr.size() > hidden) << one.name << other.name;
                EXPECT_TRUE(std::equal(a.bgr.begin(), a.bgr.begin() + hidden, b.bgr.begin())) << one.name << other.name;
                EXPECT_FALSE(std::equal(a.bgr.begin() + hidden, a.bgr.end(), b.bgr.begin() + hidden))
                    << one.name << other.name;
            }
}

// A raised frame three pixels wide, lit from the top left, round a black field with a glyph
// tall enough to read.
TEST(ButtonImages, TransportGlyphSitsInABevelledFrame) {
    for (const Button& b : kButtons) {
        for (ImageId id : {b.normal, b.hover}) {
            Image image = MakeButtonImage(id);
            int w = image.width, h = image.height, glyphRows = 0;
            if (h != 18)
                continue;
            EXPECT_GT(PixelAt(image, w / 2, 1).g, PixelAt(image, w / 2, h - 2).g) << b.name;
            EXPECT_GT(PixelAt(image, 1, h / 2).g, PixelAt(image, w - 2, h / 2).g) << b.name;
            for (int y = 0; y < h; ++y) {
                bool glyphInRow = false;
                for (int x = 0; x < w; ++x) {
                    bool frame = x < 3 || y < 3 || x >= w - 3 || y >= h - 3;
                    bool lit = !IsBlack(PixelAt(image, x, y));
                    ASSERT_TRUE(lit || !frame) << b.name << " at " << x << ", " << y;
                    glyphInRow |= lit && !frame;
                }
                glyphRows += glyphInRow;
            }
            EXPECT_GE(glyphRows, 8) << b.name;
        }
    }
}

// Normal: a dark X on the green square; hover: a bright X. The X crosses at the centre of the
// seen rows; the square's shade is the median of those rows, the mark covering far less.
TEST(ButtonImages, CloseMarkIsDarkWhenNormalAndBrightOnHover) {
    for (bool hover : {false, true}) {
        Image image = MakeButtonImage(hover ? ImageId::CloseHover : ImageId::CloseNormal);
        std::vector<int> greens;
        for (int y = 2; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                greens.push_back(PixelAt(image, x, y).g);
        std::nth_element(greens.begin(), greens.begin() + greens.size() / 2, greens.end());
        int square = greens[greens.size() / 2];
        for (int crossing : {PixelAt(image, 4, 5).g, PixelAt(image, 5, 5).g, PixelAt(image, 4, 6).g, PixelAt(image, 5, 6).g})
            EXPECT_TRUE(hover ? crossing > square + 40 : crossing * 2 < square) << hover << ": " << crossing;
    }
}
