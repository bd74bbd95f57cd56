#include "display/mini_window_frame_win.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "display/mini_window_layout.h"
#include "display/oscilloscope_math.h"
#include "display/oscilloscope_surface_win.h"
#include "display/trace_drawing_win.h"
#include "display/wave_samples.h"
#include "playback/audio_engine.h"
#include "playback/track_info.h"
#include "settings/settings.h"
#include "ui/elements_win.h"

#define LINE_BASE 440000
#include "ui/current_line.h"

namespace {

// The picture with the afterglow, kept from frame to frame; text never reaches it.
OscilloscopeSurface g_frameImage;
// What the text area shows: a fresh copy of the picture with the text on it. Its bitmap
// is selected into its drawing context only while it is drawn, since the text area
// selects it into its own to paint.
OscilloscopeSurface g_displayImage;
VolumeNotice g_volumeNotice;

SIZE TextSize(HDC dc, const std::string& text) {
    SIZE size = {0, 0};
    if (!text.empty()) GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// Black letters with a bright edge below right and a darker one above left.
void DrawEdgedText(HDC dc, const std::string& text, int x, int y, COLORREF light, COLORREF dark) {
    const int length = static_cast<int>(text.size());
    SetTextColor(dc, light);
    TextOutA(dc, x + 1, y + 1, text.c_str(), length);
    SetTextColor(dc, dark);
    TextOutA(dc, x - 1, y - 1, text.c_str(), length);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, x, y, text.c_str(), length);
}

// The image keeps its pixels; only a new height makes a new one, of the current size.
bool EnsureImages(HWND mini, int width, int height) {
    if (g_frameImage.dc && g_displayImage.dc && g_frameImage.height == height) return true;
    return OpenSurface(g_frameImage, mini, width, height) && OpenSurface(g_displayImage, mini, width, height);
}

void DrawTraceAndStepScroll(int width, int height) {
    HDC dc = g_frameImage.dc;
    const int count = std::min(width + 1, kWaveSampleCount);
    AT_LINE(); DrawTrace(g_frameImage.pixels, g_miniWaveSamples, count, MiniTraceRow, height, kTrailPen);
    AT_LINE(); FadeTrail(g_frameImage.pixels, width / 2, height / 2);
    if (g_audio.Channel_GetWaveData) {
        AT_LINE(); g_audio.Channel_GetWaveData(g_audio.channel, g_miniWaveSamples, count, 0);
    }
    AT_LINE(); DrawTrace(g_frameImage.pixels, g_miniWaveSamples, count, MiniTraceRow, height, kTracePen);

    // Unlike the main oscilloscope, any text wider than the window scrolls.
    ScrollState scroll{g_track.scrollOffset, g_track.scrollStep};
    StepScroll(scroll, TextSize(dc, g_track.displayText).cx, width, width);
    g_track.scrollOffset = scroll.offset;
    g_track.scrollStep = scroll.step;
}

void DrawOverlayText(HDC dc, int width, int height, bool notice) {
    SetBkMode(dc, TRANSPARENT);
    if (notice) {
        const std::string text = VolumeNoticeText(g_settings.HauptVolume);
        const SIZE size = TextSize(dc, text);
        const NoticeColours colours = VolumeNoticeColours(g_settings.HauptVolume);
        DrawEdgedText(dc, text, width / 2 - size.cx / 2, height / 2 - size.cy / 2, colours.light, colours.dark);
    } else if (g_settings.MiniFensterScrollTextEnable == 1 && !g_track.displayText.empty()) {
        const SIZE size = TextSize(dc, g_track.displayText);
        const ScrollState scroll{g_track.scrollOffset, g_track.scrollStep};
        DrawEdgedText(dc, g_track.displayText, TextDrawX(scroll), height / 2 - size.cy / 2, RGB(0, 255, 0),
                      RGB(0, 150, 0));
    }
    SetBkMode(dc, OPAQUE);
}

} // namespace

void DrawMiniWindowFrame() {
    HWND mini = WindowHandle(kMiniWindow);
    RECT client;
    if (!mini || !GetClientRect(mini, &client) || client.right <= 0 || client.bottom <= 0) return;
    const int width = client.right;
    const int height = client.bottom;
    const uint32_t now = GetTickCount();
    if (!EnsureImages(mini, width, height)) return;

    DrawTraceAndStepScroll(width, height);

    HDC dc = g_displayImage.dc;
    SelectObject(dc, g_displayImage.bitmap);
    BitBlt(dc, 0, 0, g_displayImage.width, g_displayImage.height, g_frameImage.dc, 0, 0, SRCCOPY);

    const VolumeNoticeStep notice = StepVolumeNotice(g_volumeNotice, g_settings.HauptVolume, now);
    if (notice.showTextArea) ShowControl(kMiniTextArea, true); // also over the buttons while hovered
    if (notice.hideTextAreaIfHovered && CursorX(kMiniWindow) != -1) ShowControl(kMiniTextArea, false);

    DrawOverlayText(dc, width, height, notice.drawNotice);
    SelectObject(dc, g_displayImage.oldBitmap);
    SendMessageA(ControlHandle(kMiniTextArea), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(g_displayImage.bitmap));
}
