#pragma once
#include <cstdint>
#include <vector>

#include "resources/image.h"

// The main window's skin: its outline as a region, the picture behind its controls, and the
// tray icon that goes with it.

inline constexpr int kSkinWidth = 220;
inline constexpr int kSkinHeight = 270;

// Client pixels; right and bottom exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The outline as rectangles, top to bottom: a 217 x 267 panel whose corners are cut in three
// one-pixel steps.
std::vector<PixelRect> SkinRegionRects();

// The outline as region data ready for ExtCreateRgn: the 32-byte header (size 32, rectangle
// type 1, count, size of the rectangles, bounding box) followed by the rectangles, every field
// a little-endian 32-bit number. 144 bytes.
std::vector<uint8_t> SkinRegionData();

// 220 x 270: black, with an 8-pixel frame that follows the outline in eight rings from dark
// (outside) to bright (inside); pixels outside the outline are RGB(255, 0, 152).
Image SkinBackground();

// 32 x 32, 24-bit: a green trace on a black field in a small bevelled frame.
Image TrayIconImage();
