#include "display/oscilloscope_pens_win.h"

HPEN g_trailPen = nullptr;
HPEN g_tracePen = nullptr;

void CreateOscilloscopePens() {
    g_trailPen = CreatePen(PS_SOLID, 5, RGB(0, 50, 0));
    g_tracePen = CreatePen(PS_SOLID, 2, RGB(0, 255, 0));
}

void DeleteOscilloscopePens() {
    if (g_trailPen) DeleteObject(g_trailPen);
    if (g_tracePen) DeleteObject(g_tracePen);
    g_trailPen = nullptr;
    g_tracePen = nullptr;
}
