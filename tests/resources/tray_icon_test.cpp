#include <gtest/gtest.h>

#include "resources/skin.h"
#include "tests/resources/image_checks.h"

TEST(TrayIcon, Is32By32In24BitPixels) {
    EXPECT_TRUE(HasExpectedSize(TrayIconImage(), 32, 32));
}

TEST(TrayIcon, IsGreenOnBlackWithAFramedEdge) {
    Image icon = TrayIconImage();
    int black = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            Rgb c = PixelAt(icon, x, y);
            ASSERT_TRUE(IsGreenFamily(c)) << x << ", " << y << ": " << c;
            black += IsBlack(c) ? 1 : 0;
            bool onEdge = x == 0 || y == 0 || x == 31 || y == 31;
            if (onEdge) {
                ASSERT_FALSE(IsBlack(c)) << "edge " << x << ", " << y;
            }
        }
    // Enough dark field for the trace to stand out against, at tray size too.
    EXPECT_GT(black, 32 * 32 / 4);
}

// The emblem is a trace across the field: every column of its middle has a bright pixel, and
// the trace rises and falls instead of running flat.
TEST(TrayIcon, BrightTraceCrossesTheFieldAndSwings) {
    Image icon = TrayIconImage();
    int highest = 32, lowest = -1;
    for (int x = 6; x <= 25; ++x) {
        int brightRows = 0;
        for (int y = 4; y < 28; ++y)
            if (PixelAt(icon, x, y).g >= 200) {
                ++brightRows;
                highest = std::min(highest, y);
                lowest = std::max(lowest, y);
            }
        EXPECT_GT(brightRows, 0) << "column " << x;
    }
    EXPECT_GE(lowest - highest, 10);
}
