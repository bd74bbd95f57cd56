#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "display/flood_fill.h"

// Our fill of the afterglow must leave exactly the pixels the system's surface flood fill
// leaves, on patterns with holes, diagonal touches and the probe's colour elsewhere.
TEST(FloodFill, PaintsWhatTheSystemsSurfaceFillPaints) {
    constexpr int kWidth = 200, kHeight = 120;
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}}; // top-down
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(dc && bitmap && bits);
    HGDIOBJ old = SelectObject(dc, bitmap);
    auto* pixels = static_cast<uint32_t*>(bits);
    const uint32_t green = 40 << 8;
    HBRUSH brush = CreateSolidBrush(RGB(0, 35, 0));
    SelectObject(dc, brush);

    std::mt19937 random(7);
    for (int pattern = 0; pattern < 20; ++pattern) {
        // Mostly the probe's green, with blocks of black and of other greens cutting it up.
        for (int i = 0; i < kWidth * kHeight; ++i) pixels[i] = random() % 3 ? green : (random() % 2 ? 0 : 60 << 8);
        const int x = static_cast<int>(random() % kWidth), y = static_cast<int>(random() % kHeight);
        pixels[y * kWidth + x] = green;
        std::vector<uint32_t> ours(pixels, pixels + kWidth * kHeight);
        PixelBuffer buffer{ours.data(), kWidth, kHeight};
        FloodFill(buffer, x, y, green, 35 << 8);
        ASSERT_TRUE(ExtFloodFill(dc, x, y, RGB(0, 40, 0), FLOODFILLSURFACE));
        GdiFlush();
        for (int i = 0; i < kWidth * kHeight; ++i)
            ASSERT_EQ(ours[i] & 0xFFFFFF, pixels[i] & 0xFFFFFF) << "pattern " << pattern << " pixel " << i;
    }
    SelectObject(dc, old);
    DeleteObject(brush);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
