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

constexpr int kBandTop = 100;
constexpr int kBandHeight = 20;
constexpr COLORREF kBandText = RGB(0, 150, 0);
// Wider texts are drawn each frame, as they come.
constexpr int kMaxStripWidth = 4096;

// The description drawn once into a strip of its own, copied into the band each frame: the
// text changes rarely, and drawing it every frame was a large part of a frame's cost.
struct TextStrip {
    std::string text;
    int textWidth = 0;
    OscilloscopeSurface image;
};
TextStrip g_strip;

// A few pixels beyond the text's extent, for glyphs that reach past it.
constexpr int kStripMargin = 8;

bool MakeStrip(HDC dc, const std::string& text) {
    g_strip.text = text;
    SIZE size = {0, 0};
    if (!text.empty()) GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    g_strip.textWidth = size.cx;
    CloseSurface(g_strip.image);
    if (text.empty() || size.cx + kStripMargin > kMaxStripWidth) return false;
    if (!OpenSurface(g_strip.image, g_oscilloscope.window, size.cx + kStripMargin, kBandHeight)) return false;
    HDC strip = g_strip.image.dc;
    HGDIOBJ oldFont = SelectObject(strip, GetCurrentObject(dc, OBJ_FONT));
    SetTextColor(strip, kBandText);
    SetBkColor(strip, RGB(0, 0, 0));
    SetBkMode(strip, OPAQUE);
    TextOutA(strip, 0, 0, text.c_str(), static_cast<int>(text.size()));
    SelectObject(strip, oldFont);
    GdiFlush();
    return true;
}

// Copies the strip into the band with its left edge at `x`, clipped to the surface.
void CopyStrip(PixelBuffer& target, int x) {
    const PixelBuffer& strip = g_strip.image.pixels;
    const int from = x < 0 ? -x : 0;
    const int to = x + strip.width < target.width ? strip.width : target.width - x;
    for (int row = 0; row < kBandHeight && kBandTop + row < target.height; ++row) {
        for (int column = from; column < to; ++column)
            target.pixels[(kBandTop + row) * target.width + x + column] = strip.pixels[row * strip.width + column];
    }
}

void DrawTextBand(HDC dc) {
    const std::string& text = g_track.displayText;
    const bool stripReady = text == g_strip.text ? g_strip.image.dc != nullptr : MakeStrip(dc, text);
    ScrollState scroll{g_track.scrollOffset, g_track.scrollStep};
    StepScroll(scroll, g_strip.textWidth, 200, 180);
    g_track.scrollOffset = scroll.offset;
    g_track.scrollStep = scroll.step;

    PixelBuffer& pixels = g_oscilloscope.pixels;
    GdiFlush();
    for (int row = kBandTop; row < kBandTop + kBandHeight && row < pixels.height; ++row)
        for (int column = 0; column < 200 && column < pixels.width; ++column) pixels.pixels[row * pixels.width + column] = 0;
    if (text.empty()) return;
    if (stripReady) {
        CopyStrip(pixels, TextDrawX(scroll));
        return;
    }
    SetTextColor(dc, kBandText);
    SetBkColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, OPAQUE);
    TextOutA(dc, TextDrawX(scroll), kBandTop, text.c_str(), static_cast<int>(text.size()));
}

} // namespace

void DrawOscilloscopeFrame() {
    HDC dc = g_oscilloscope.dc;
    if (dc) {
        AT_LINE(); DrawTrace(g_oscilloscope.pixels, g_waveSamples, kWaveSampleCount, MainRow, 0, kTrailPen);
        AT_LINE(); FadeTrail(g_oscilloscope.pixels, 100, 50);
        if (g_audio.Channel_GetWaveData) {
            AT_LINE(); g_audio.Channel_GetWaveData(g_audio.channel, g_waveSamples, kWaveSampleCount, 0);
        }
        AT_LINE(); DrawTrace(g_oscilloscope.pixels, g_waveSamples, kWaveSampleCount, MainRow, 0, kTracePen);
        AT_LINE(); DrawTextBand(dc);
    }
    AT_LINE(); PresentOscilloscopeSurface();
}
