#pragma once
#include <windows.h>

#include "display/thick_line.h"
#include "display/trace_pens.h"

constexpr int kMaxTracePoints = 201;

// Draws the trace of `count` samples, sample i at column i, into the pixels of a surface;
// `row` maps a sample to its row on a surface `height` pixels high.
void DrawTrace(PixelBuffer& pixels, const float* samples, int count, int (*row)(float sample, int height),
               int height, const TracePen& pen);

// One fade step of the afterglow at the probe point: the connected area of exactly the
// probe's green gets 5 darker, down to black.
void FadeTrail(PixelBuffer& pixels, int probeX, int probeY);
