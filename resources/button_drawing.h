#pragma once
#include "resources/image.h"

// Colours of one button state; the normal and hover sets share the drawing.
struct ButtonPalette {
    // The 10 x 10 title-bar buttons: a gradient square with a mark on it.
    Rgb squareTop;
    Rgb squareBottom;
    Rgb squareEdge;
    Rgb mark;
    // The transport buttons: a bevelled frame around a black field with a glyph in it.
    Rgb frameOutline;
    Rgb bevelLight;
    Rgb bevelShadow;
    Rgb innerLight;
    Rgb innerShadow;
    Rgb glyph;
};

ButtonPalette NormalButtonPalette();
ButtonPalette HoverButtonPalette();

enum class TitleMark { Cross, Bar, Question };
enum class TransportGlyph { Play, Pause, Stop, Previous, Next };

Image MakeTitleButton(TitleMark mark, const ButtonPalette& palette);
// The frame scales with `width`; the glyph keeps its size.
Image MakeTransportButton(TransportGlyph glyph, int width, const ButtonPalette& palette);
