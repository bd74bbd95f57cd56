#pragma once
#include "resources/image.h"

// Black, or a green whose red and blue are at most half of it.
inline bool IsGreenFamily(Rgb c) {
    return 2 * c.r <= c.g && 2 * c.b <= c.g;
}

inline bool IsBlack(Rgb c) {
    return c == Rgb{0, 0, 0};
}

inline bool HasSize(const Image& image, int width, int height) {
    return image.width == width && image.height == height &&
           image.bgr.size() == static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
}
