#include <vector>

#include "resources/button_drawing.h"
#include "resources/canvas.h"

static constexpr int kHeight = 18;
static constexpr Rgb kBlack{0, 0, 0};

// One ring of the frame, `inset` pixels in: lit along the top and left, shaded along the bottom
// and right, the two corners where light meets shade half of each.
static void DrawBevelRing(Image& image, int inset, Rgb light, Rgb shadow) {
    int left = inset, top = inset, right = image.width - 1 - inset, bottom = image.height - 1 - inset;
    FillRect(image, left, top, right + 1, top + 1, light);
    FillRect(image, left, top, left + 1, bottom + 1, light);
    FillRect(image, left, bottom, right + 1, bottom + 1, shadow);
    FillRect(image, right, top, right + 1, bottom + 1, shadow);
    Rgb between = Mix(light, shadow, 0.5f);
    PutPixel(image, right, top, between);
    PutPixel(image, left, bottom, between);
}

static void DrawFrame(Image& image, const ButtonPalette& palette) {
    FillRect(image, 0, 0, image.width, 1, palette.frameOutline);
    FillRect(image, 0, image.height - 1, image.width, image.height, palette.frameOutline);
    FillRect(image, 0, 0, 1, image.height, palette.frameOutline);
    FillRect(image, image.width - 1, 0, image.width, image.height, palette.frameOutline);
    // Corners fade into the black around the buttons, which softens the outline.
    Rgb corner = Mix(palette.frameOutline, kBlack, 0.6f);
    PutPixel(image, 0, 0, corner);
    PutPixel(image, image.width - 1, 0, corner);
    PutPixel(image, 0, image.height - 1, corner);
    PutPixel(image, image.width - 1, image.height - 1, corner);
    DrawBevelRing(image, 1, palette.bevelLight, palette.bevelShadow);
    DrawBevelRing(image, 2, palette.innerLight, palette.innerShadow);
}

// Glyphs are 8 to 10 pixels high, centred on the field; (cx, cy) is the centre of the image.
static void DrawGlyph(Image& image, TransportGlyph glyph, Rgb colour) {
    float cx = image.width / 2.0f;
    float cy = kHeight / 2.0f;
    int left = image.width / 2;
    switch (glyph) {
    case TransportGlyph::Play:
        FillPolygon(image, {{cx - 4.0f, cy - 5.0f}, {cx + 5.0f, cy}, {cx - 4.0f, cy + 5.0f}}, colour);
        break;
    case TransportGlyph::Pause:
        FillRect(image, left - 4, 5, left - 1, 13, colour);
        FillRect(image, left + 1, 5, left + 4, 13, colour);
        break;
    case TransportGlyph::Stop:
        FillRect(image, left - 4, 5, left + 4, 13, colour);
        break;
    case TransportGlyph::Previous:
        StrokePolyline(image, {{cx + 2.0f, cy - 3.5f}, {cx - 1.5f, cy}, {cx + 2.0f, cy + 3.5f}}, 2.4f, colour);
        break;
    case TransportGlyph::Next:
        StrokePolyline(image, {{cx - 2.0f, cy - 3.5f}, {cx + 1.5f, cy}, {cx - 2.0f, cy + 3.5f}}, 2.4f, colour);
        break;
    }
}

Image MakeTransportButton(TransportGlyph glyph, int width, const ButtonPalette& palette) {
    Image image = MakeImage(width, kHeight, kBlack);
    DrawFrame(image, palette);
    DrawGlyph(image, glyph, palette.glyph);
    return image;
}
