#include "app/hover_images.h"

#include <gtest/gtest.h>

TEST(HoverImages, PlayPauseButtonKeepsItsSymbolWhenHovered) {
    EXPECT_EQ(HoverImageOf(ImageId::PlayNormal), ImageId::PlayHover);
    EXPECT_EQ(HoverImageOf(ImageId::PauseNormal), ImageId::PauseHover);
    EXPECT_EQ(NormalImageOf(ImageId::PlayHover), ImageId::PlayNormal);
    EXPECT_EQ(NormalImageOf(ImageId::PauseHover), ImageId::PauseNormal);
    EXPECT_EQ(HoverImageOf(ImageId::MiniPauseNormal), ImageId::MiniPauseHover);
    EXPECT_EQ(NormalImageOf(ImageId::MiniPlayHover), ImageId::MiniPlayNormal);
}

TEST(HoverImages, AnImageAlreadyInTheTargetStateStaysUnchanged) {
    // A click switches play to pause (normal image) while the cursor is inside: leaving
    // must bring back the normal pause image, entering again its hover twin.
    EXPECT_EQ(HoverImageOf(ImageId::PauseHover), ImageId::PauseHover);
    EXPECT_EQ(NormalImageOf(ImageId::PauseNormal), ImageId::PauseNormal);
    EXPECT_EQ(NormalImageOf(ImageId::MinimizeNormal), ImageId::MinimizeNormal);
}

TEST(HoverImages, EveryNormalImageHasADistinctHoverTwinAndBack) {
    for (int i = 0; i < static_cast<int>(ImageId::Count); ++i) {
        const auto image = static_cast<ImageId>(i);
        const ImageId hover = HoverImageOf(image);
        const ImageId normal = NormalImageOf(image);
        // Exactly one of the two maps moves the image: it is either a normal or a hover image.
        EXPECT_NE(hover == image, normal == image) << "image " << i;
        if (hover != image) {
            EXPECT_EQ(NormalImageOf(hover), image) << "image " << i;
        }
        if (normal != image) {
            EXPECT_EQ(HoverImageOf(normal), image) << "image " << i;
        }
    }
}
