#pragma once
#include <windows.h>

// The two pens of the oscilloscopes, made once at start-up: the afterglow trail
// (5 pixels, RGB(0, 50, 0)) and the trace (2 pixels, RGB(0, 255, 0)).
extern HPEN g_trailPen;
extern HPEN g_tracePen;

void CreateOscilloscopePens();
void DeleteOscilloscopePens();
