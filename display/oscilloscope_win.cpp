#include "display/oscilloscope_win.h"

#include <string>

#include "display/oscilloscope_math.h"
#include "display/oscilloscope_surface_win.h"
#include "display/trace_drawing_win.h"
#include "display/wave_samples.h"
#include "playback/audio_engine.h"
#include "playback/track_info.h"

#define LINE_BASE 410000
#include "ui/current_line.h"

namespace {

int MainRow(float sample, int) {
    return TraceRow(sample);
}

// The description changes rarely; its width is measured once per text.
int TextWidth(HDC dc, const std::string& text) {
    static std::string measured;
    static int width = 0;
    if (text != measured) {
        SIZE size = {0, 0};
        if (!text.empty()) GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        measured = text;
        width = size.cx;
    }
    return width;
}

void DrawTextBand(HDC dc) {
    const std::string& text = g_track.displayText;
    const SIZE size = {TextWidth(dc, text), 0};
    ScrollState scroll{g_track.scrollOffset, g_track.scrollStep};
    StepScroll(scroll, size.cx, 200, 180);
    g_track.scrollOffset = scroll.offset;
    g_track.scrollStep = scroll.step;

    RECT band = {0, 100, 200, 120};
    FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (text.empty()) return;
    SetTextColor(dc, RGB(0, 150, 0));
    SetBkColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, OPAQUE);
    TextOutA(dc, TextDrawX(scroll), 100, text.c_str(), static_cast<int>(text.size()));
}

} // namespace

void DrawOscilloscopeFrame() {
    HDC dc = g_oscilloscope.dc;
    if (dc) {
        AT_LINE(); DrawTrace(g_oscilloscope.pixels, g_waveSamples, kWaveSampleCount, MainRow, 0, kTrailPen);
        AT_LINE(); FadeTrail(dc, 100, 50);
        if (g_audio.Channel_GetWaveData) {
            AT_LINE(); g_audio.Channel_GetWaveData(g_audio.channel, g_waveSamples, kWaveSampleCount, 0);
        }
        AT_LINE(); DrawTrace(g_oscilloscope.pixels, g_waveSamples, kWaveSampleCount, MainRow, 0, kTracePen);
        AT_LINE(); DrawTextBand(dc);
    }
    AT_LINE(); PresentOscilloscopeSurface();
}
