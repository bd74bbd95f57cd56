#include "app/hover_images.h"

#include <gtest/gtest.h>

TEST(HoverImages, EveryImageIsNormalOrHoverWithATwinThatMapsBack) {
    for (int i = 0; i < static_cast<int>(ImageId::Count); ++i) {
        const auto image = static_cast<ImageId>(i);
        const ImageId hover = HoverImageOf(image);
        const ImageId normal = NormalImageOf(image);
        EXPECT_NE(hover == image, normal == image) << "image " << i;
        EXPECT_EQ(NormalImageOf(hover), hover == image ? normal : image) << "image " << i;
        EXPECT_EQ(HoverImageOf(normal), normal == image ? hover : image) << "image " << i;
    }
}

TEST(HoverImages, PlayPauseButtonKeepsItsSymbol) {
    // A click switches play to pause while the cursor is inside: leaving must bring back
    // the normal pause image, not the play image.
    EXPECT_EQ(HoverImageOf(ImageId::PauseNormal), ImageId::PauseHover);
    EXPECT_EQ(NormalImageOf(ImageId::PauseHover), ImageId::PauseNormal);
    EXPECT_EQ(NormalImageOf(ImageId::MiniPlayHover), ImageId::MiniPlayNormal);
}
