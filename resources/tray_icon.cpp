#include <cmath>
#include <numbers>
#include <vector>

#include "resources/canvas.h"
#include "resources/skin.h"

static constexpr int kIconSize = 32;
static constexpr Rgb kBlack{0, 0, 0};

// The skin's frame in miniature: three rings from dark to bright.
static void DrawIconFrame(Image& icon) {
    const Rgb rings[] = {{11, 78, 11}, {20, 142, 20}, {29, 207, 29}};
    for (int inset = 0; inset < 3; ++inset)
        FillRect(icon, inset, inset, kIconSize - inset, kIconSize - inset, rings[inset]);
    FillRect(icon, 3, 3, kIconSize - 3, kIconSize - 3, kBlack);
}

// One period of a wave across the field, sampled finely enough to draw as a smooth line.
static std::vector<Point> WavePoints() {
    const float left = 5.0f, right = 27.0f, middle = 16.0f, amplitude = 7.0f;
    std::vector<Point> points;
    const int steps = 44;
    for (int i = 0; i <= steps; ++i) {
        float t = static_cast<float>(i) / steps;
        float x = left + (right - left) * t;
        float y = middle - amplitude * std::sin(2.0f * std::numbers::pi_v<float> * t);
        points.push_back({x, y});
    }
    return points;
}

Image TrayIconImage() {
    Image icon = MakeImage(kIconSize, kIconSize, kBlack);
    DrawIconFrame(icon);
    FillRect(icon, 4, 16, kIconSize - 4, 17, {0, 40, 0});
    std::vector<Point> wave = WavePoints();
    // A wide dim pen under a narrow bright one: the trace's afterglow.
    StrokePolyline(icon, wave, 5.0f, {0, 70, 0});
    StrokePolyline(icon, wave, 2.6f, {40, 255, 40});
    return icon;
}
