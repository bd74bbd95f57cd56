#include "resources/button_drawing.h"

// Red and blue stay at a fraction of green so every colour reads as green on the black skin.
ButtonPalette NormalButtonPalette() {
    ButtonPalette p;
    p.squareTop = {22, 150, 22};
    p.squareBottom = {8, 62, 8};
    p.squareEdge = {4, 30, 4};
    p.mark = {0, 14, 0};
    p.frameOutline = {5, 36, 5};
    p.bevelLight = {22, 140, 22};
    p.bevelShadow = {8, 60, 8};
    p.innerLight = {12, 88, 12};
    p.innerShadow = {5, 34, 5};
    p.glyph = {14, 136, 14};
    return p;
}

ButtonPalette HoverButtonPalette() {
    ButtonPalette p;
    p.squareTop = {32, 210, 32};
    p.squareBottom = {12, 96, 12};
    p.squareEdge = {8, 60, 8};
    p.mark = {100, 255, 100};
    p.frameOutline = {8, 64, 8};
    p.bevelLight = {40, 235, 40};
    p.bevelShadow = {14, 110, 14};
    p.innerLight = {22, 160, 22};
    p.innerShadow = {8, 62, 8};
    p.glyph = {60, 255, 60};
    return p;
}
