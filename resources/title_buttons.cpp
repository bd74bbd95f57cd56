#include <vector>

#include "resources/button_drawing.h"
#include "resources/canvas.h"

// The window outline cuts off the top two rows of these buttons, so each mark is centred in
// rows 2 to 9, the part that is seen.
static constexpr int kSize = 10;
static constexpr int kMarkLeft = 2;
static constexpr int kMarkTop = 3;

static std::vector<const char*> MarkPattern(TitleMark mark) {
    switch (mark) {
    case TitleMark::Cross:
        return {"##..##", ".####.", "..##..", "..##..", ".####.", "##..##"};
    case TitleMark::Bar:
        return {"......", "......", "......", "......", "######", "######"};
    case TitleMark::Question:
        return {".####.", "##..##", "...##.", "..##..", "......", "..##.."};
    }
    return {};
}

Image MakeTitleButton(TitleMark mark, const ButtonPalette& palette) {
    Image image = MakeImage(kSize, kSize, palette.squareEdge);
    FillVerticalGradient(image, 1, 1, kSize - 1, kSize - 1, palette.squareTop, palette.squareBottom);
    StampPattern(image, kMarkLeft, kMarkTop, MarkPattern(mark), palette.mark);
    return image;
}
