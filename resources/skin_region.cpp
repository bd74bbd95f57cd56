#include "resources/skin.h"

#include <algorithm>

static constexpr uint32_t kHeaderSize = 32;
static constexpr uint32_t kRectanglesType = 1;
static constexpr uint32_t kRectSize = 16;

std::vector<PixelRect> SkinRegionRects() {
    return {
        {5, 2, 216, 3},   {4, 3, 217, 4},   {3, 4, 218, 5},   {2, 5, 219, 266},
        {3, 266, 218, 267}, {4, 267, 217, 268}, {5, 268, 216, 269},
    };
}

static void AppendLittleEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

static void AppendRect(std::vector<uint8_t>& out, const PixelRect& rect) {
    AppendLittleEndian(out, static_cast<uint32_t>(rect.left));
    AppendLittleEndian(out, static_cast<uint32_t>(rect.top));
    AppendLittleEndian(out, static_cast<uint32_t>(rect.right));
    AppendLittleEndian(out, static_cast<uint32_t>(rect.bottom));
}

std::vector<uint8_t> SkinRegionData() {
    std::vector<PixelRect> rects = SkinRegionRects();
    PixelRect bound = rects.front();
    for (const PixelRect& r : rects) {
        bound.left = std::min(bound.left, r.left);
        bound.top = std::min(bound.top, r.top);
        bound.right = std::max(bound.right, r.right);
        bound.bottom = std::max(bound.bottom, r.bottom);
    }
    uint32_t count = static_cast<uint32_t>(rects.size());
    std::vector<uint8_t> data;
    data.reserve(kHeaderSize + count * kRectSize);
    AppendLittleEndian(data, kHeaderSize);
    AppendLittleEndian(data, kRectanglesType);
    AppendLittleEndian(data, count);
    AppendLittleEndian(data, count * kRectSize);
    AppendRect(data, bound);
    for (const PixelRect& r : rects)
        AppendRect(data, r);
    return data;
}
