#pragma once
#include <algorithm>
#include <ostream>

#include "resources/image.h"

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "RGB(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

// Black, or a green whose red and blue are at most half of it.
inline bool IsGreenFamily(Rgb c) {
    return 2 * c.r <= c.g && 2 * c.b <= c.g;
}

inline bool IsBlack(Rgb c) {
    return c == Rgb{0, 0, 0};
}

inline bool HasExpectedSize(const Image& image, int width, int height) {
    return image.width == width && image.height == height &&
           image.bgr.size() == static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
}

inline int MaxGreen(const Image& image) {
    int most = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            most = std::max(most, int(PixelAt(image, x, y).g));
    return most;
}

inline long SumGreen(const Image& image) {
    long sum = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            sum += PixelAt(image, x, y).g;
    return sum;
}
