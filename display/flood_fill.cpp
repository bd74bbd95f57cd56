#include "display/flood_fill.h"

#include <vector>

namespace {

constexpr uint32_t kColourBits = 0xFFFFFF;

struct Seed {
    int x;
    int y;
};

} // namespace

void FloodFill(PixelBuffer& buffer, int x, int y, uint32_t from, uint32_t to) {
    from &= kColourBits;
    if (!buffer.pixels || x < 0 || y < 0 || x >= buffer.width || y >= buffer.height) return;
    // Filling with the same colour would find its own pixels again for ever.
    if (((from ^ to) & kColourBits) == 0) return;
    auto at = [&](int px, int py) -> uint32_t& { return buffer.pixels[py * buffer.width + px]; };
    auto fillable = [&](int px, int py) { return (at(px, py) & kColourBits) == from; };
    std::vector<Seed> seeds{{x, y}};
    while (!seeds.empty()) {
        const Seed seed = seeds.back();
        seeds.pop_back();
        if (!fillable(seed.x, seed.y)) continue;
        int left = seed.x;
        int right = seed.x;
        while (left > 0 && fillable(left - 1, seed.y)) --left;
        while (right + 1 < buffer.width && fillable(right + 1, seed.y)) ++right;
        for (int px = left; px <= right; ++px) at(px, seed.y) = to;
        // One seed per run of fillable pixels in the rows above and below.
        for (int row : {seed.y - 1, seed.y + 1}) {
            if (row < 0 || row >= buffer.height) continue;
            bool inRun = false;
            for (int px = left; px <= right; ++px) {
                const bool open = fillable(px, row);
                if (open && !inRun) seeds.push_back({px, row});
                inRun = open;
            }
        }
    }
}
