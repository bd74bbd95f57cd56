#pragma once
#include <windows.h>

// A pen or brush selected into a device context for one drawing, then deselected.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect() {
        if (old_) SelectObject(dc_, old_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

constexpr int kMaxTracePoints = 201;

// Draws `count` - 1 line segments through the samples, sample i at column i, with the
// pen selected in `dc`; `row` maps a sample to its row.
void DrawTrace(HDC dc, const float* samples, int count, int (*row)(float sample, int height), int height);

// One fade step of the afterglow at the probe point: the connected area of exactly the
// probe's green gets 5 darker, down to black.
void FadeTrail(HDC dc, int probeX, int probeY);
