#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/images.h"
#include "tests/resources/image_checks.h"

namespace {

struct ButtonPair {
    const char* name;
    ImageId normal;
    ImageId hover;
    int width;
    int height;
};

const std::vector<ButtonPair> kButtons = {
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

const std::vector<ImageId> kTransportNormals = {ImageId::PlayNormal, ImageId::PauseNormal, ImageId::StopNormal,
                                                ImageId::PreviousNormal, ImageId::NextNormal};
const std::vector<ImageId> kMiniNormals = {ImageId::MiniPlayNormal, ImageId::MiniPauseNormal,
                                           ImageId::MiniPreviousNormal, ImageId::MiniNextNormal};

// The lit pixels of the black field inside a transport button's 3-pixel frame.
struct Box {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};

Box GlyphBox(const Image& image) {
    Box box;
    for (int y = 3; y < image.height - 3; ++y)
        for (int x = 3; x < image.width - 3; ++x)
            if (!IsBlack(PixelAt(image, x, y))) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

}  // namespace

TEST(ButtonImages, EachHasTheSizeOfItsControl) {
    for (const ButtonPair& b : kButtons) {
        EXPECT_TRUE(HasExpectedSize(MakeButtonImage(b.normal), b.width, b.height)) << b.name;
        EXPECT_TRUE(HasExpectedSize(MakeButtonImage(b.hover), b.width, b.height)) << b.name;
    }
}

TEST(ButtonImages, IdOutsideTheSetGivesEmptyImage) {
    EXPECT_TRUE(HasExpectedSize(MakeButtonImage(ImageId::Count), 0, 0));
    EXPECT_TRUE(HasExpectedSize(MakeButtonImage(static_cast<ImageId>(-1)), 0, 0));
    EXPECT_TRUE(HasExpectedSize(MakeButtonImage(static_cast<ImageId>(1000)), 0, 0));
}

TEST(ButtonImages, HoverIsTheSameDrawingInBrighterGreens) {
    for (const ButtonPair& b : kButtons) {
        Image normal = MakeButtonImage(b.normal);
        Image hover = MakeButtonImage(b.hover);
        EXPECT_NE(normal.bgr, hover.bgr) << b.name;
        EXPECT_LT(MaxGreen(normal), MaxGreen(hover)) << b.name;
        EXPECT_LT(SumGreen(normal), SumGreen(hover)) << b.name;
        // Same drawing: where one is black, so is the other.
        for (int y = 0; y < normal.height; ++y)
            for (int x = 0; x < normal.width; ++x)
                ASSERT_EQ(IsBlack(PixelAt(normal, x, y)), IsBlack(PixelAt(hover, x, y)))
                    << b.name << " at " << x << ", " << y;
    }
}

TEST(ButtonImages, UseOnlyGreensAndBlack) {
    for (int i = 0; i < static_cast<int>(ImageId::Count); ++i) {
        Image image = MakeButtonImage(static_cast<ImageId>(i));
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                ASSERT_TRUE(IsGreenFamily(PixelAt(image, x, y)))
                    << "image " << i << " at " << x << ", " << y << ": " << PixelAt(image, x, y);
    }
}

TEST(ButtonImages, EveryTransportGlyphIsDistinct) {
    for (const std::vector<ImageId>* set : {&kTransportNormals, &kMiniNormals})
        for (size_t i = 0; i < set->size(); ++i)
            for (size_t j = i + 1; j < set->size(); ++j)
                EXPECT_NE(MakeButtonImage((*set)[i]).bgr, MakeButtonImage((*set)[j]).bgr)
                    << static_cast<int>((*set)[i]) << " vs " << static_cast<int>((*set)[j]);
    EXPECT_NE(MakeButtonImage(ImageId::PlayHover).bgr, MakeButtonImage(ImageId::PauseHover).bgr);
    EXPECT_NE(MakeButtonImage(ImageId::MiniPlayHover).bgr, MakeButtonImage(ImageId::MiniPauseHover).bgr);
}

// A glyph sits in the middle of its field, clear of the frame, in the big and the mini size.
TEST(ButtonImages, TransportGlyphIsCentredInTheBlackField) {
    for (const ButtonPair& b : kButtons) {
        if (b.height != 18)
            continue;
        Image image = MakeButtonImage(b.normal);
        Box box = GlyphBox(image);
        ASSERT_GE(box.right, box.left) << b.name << " has no glyph";
        EXPECT_GE(box.left, 5) << b.name;
        EXPECT_GE(box.top, 4) << b.name;
        EXPECT_LE(box.bottom, image.height - 5) << b.name;
        EXPECT_NEAR((box.left + box.right + 1) / 2.0, image.width / 2.0, 1.5) << b.name;
        EXPECT_NEAR((box.top + box.bottom + 1) / 2.0, image.height / 2.0, 1.0) << b.name;
        EXPECT_GE(box.bottom - box.top + 1, 8) << b.name << " glyph too small to read";
    }
}

// A raised bevel: lit from the top left, so the top edge is brighter than the bottom and the
// left brighter than the right, and no frame pixel is black.
TEST(ButtonImages, TransportFrameIsARaisedGreenBevel) {
    for (const ButtonPair& b : kButtons) {
        if (b.height != 18)
            continue;
        for (ImageId id : {b.normal, b.hover}) {
            Image image = MakeButtonImage(id);
            int w = image.width, h = image.height;
            EXPECT_GT(PixelAt(image, w / 2, 1).g, PixelAt(image, w / 2, h - 2).g) << b.name;
            EXPECT_GT(PixelAt(image, 1, h / 2).g, PixelAt(image, w - 2, h / 2).g) << b.name;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    bool inFrame = x < 3 || y < 3 || x >= w - 3 || y >= h - 3;
                    if (inFrame) {
                        ASSERT_FALSE(IsBlack(PixelAt(image, x, y))) << b.name << " at " << x << ", " << y;
                    }
                }
        }
    }
}

// The window outline hides the top two rows of the 10 x 10 buttons; what tells them apart
// must be drawn below.
TEST(ButtonImages, TitleMarksLieInTheRowsThatAreSeen) {
    for (ImageId first : {ImageId::CloseNormal, ImageId::CloseHover}) {
        int state = static_cast<int>(first) - static_cast<int>(ImageId::CloseNormal);
        Image close = MakeButtonImage(first);
        Image minimize = MakeButtonImage(static_cast<ImageId>(static_cast<int>(ImageId::MinimizeNormal) + state));
        Image about = MakeButtonImage(static_cast<ImageId>(static_cast<int>(ImageId::AboutNormal) + state));
        int differingSeen = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                bool differs = !(PixelAt(close, x, y) == PixelAt(minimize, x, y)) ||
                               !(PixelAt(close, x, y) == PixelAt(about, x, y)) ||
                               !(PixelAt(minimize, x, y) == PixelAt(about, x, y));
                if (y < 2) {
                    EXPECT_FALSE(differs) << "hidden row " << y << ", x " << x;
                } else if (differs) {
                    ++differingSeen;
                }
            }
        EXPECT_GE(differingSeen, 10) << "marks barely differ";
    }
}

// Normal: a dark X on the green square; hover: a bright X. The X's crossing lies at the
// centre of the seen rows; the square's own shade is the median of those rows, since the
// mark covers far less than half of it.
TEST(ButtonImages, CloseMarkIsDarkWhenNormalAndBrightOnHover) {
    auto medianGreen = [](const Image& image) {
        std::vector<int> greens;
        for (int y = 2; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                greens.push_back(PixelAt(image, x, y).g);
        std::nth_element(greens.begin(), greens.begin() + greens.size() / 2, greens.end());
        return greens[greens.size() / 2];
    };
    auto crossingGreens = [](const Image& image) {
        return std::vector<int>{PixelAt(image, 4, 5).g, PixelAt(image, 5, 5).g, PixelAt(image, 4, 6).g,
                                PixelAt(image, 5, 6).g};
    };
    Image normal = MakeButtonImage(ImageId::CloseNormal);
    Image hover = MakeButtonImage(ImageId::CloseHover);
    for (int g : crossingGreens(normal))
        EXPECT_LT(g * 2, medianGreen(normal));
    for (int g : crossingGreens(hover))
        EXPECT_GT(g, medianGreen(hover) + 40);
}
