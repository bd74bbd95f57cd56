#include "resources/image.h"

#include <cstddef>

static bool Inside(const Image& image, int x, int y) {
    return x >= 0 && y >= 0 && x < image.width && y < image.height;
}

static size_t Offset(const Image& image, int x, int y) {
    return (static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)) * 3;
}

Image MakeImage(int width, int height, Rgb fill) {
    Image image;
    if (width < 1 || height < 1)
        return image;
    image.width = width;
    image.height = height;
    image.bgr.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (size_t i = 0; i < image.bgr.size(); i += 3) {
        image.bgr[i] = fill.b;
        image.bgr[i + 1] = fill.g;
        image.bgr[i + 2] = fill.r;
    }
    return image;
}

Rgb PixelAt(const Image& image, int x, int y) {
    if (!Inside(image, x, y))
        return {};
    size_t at = Offset(image, x, y);
    if (at + 2 >= image.bgr.size())
        return {};
    return {image.bgr[at + 2], image.bgr[at + 1], image.bgr[at]};
}

void PutPixel(Image& image, int x, int y, Rgb colour) {
    if (!Inside(image, x, y))
        return;
    size_t at = Offset(image, x, y);
    if (at + 2 >= image.bgr.size())
        return;
    image.bgr[at] = colour.b;
    image.bgr[at + 1] = colour.g;
    image.bgr[at + 2] = colour.r;
}
