#pragma once
#include <cstdint>
#include <vector>

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// Top-down rows, 3 bytes per pixel in the order B, G, R, no row padding: the byte order of a
// 24-bit device-independent bitmap, so the Windows side only flips rows and pads them.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;
};

// A width x height image filled with one colour; an empty image for a size below 1.
Image MakeImage(int width, int height, Rgb fill);

// Reads black and writes nothing outside the image, so drawing code need not clip.
Rgb PixelAt(const Image& image, int x, int y);
void PutPixel(Image& image, int x, int y, Rgb colour);
