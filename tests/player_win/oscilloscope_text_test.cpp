#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "display/oscilloscope_surface_win.h"
#include "display/oscilloscope_win.h"
#include "playback/track_info.h"

// The description is drawn once and copied into the band each frame; the band must hold
// exactly the pixels the text drawn straight into it would give, at some position.
TEST(OscilloscopeText, TheCopiedTextLooksAsIfDrawnInPlace) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 220, 270, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    OpenOscilloscopeSurface(window);
    ASSERT_TRUE(IsOscilloscopeSurfaceOpen());
    g_track.displayText = "Quendra - Ein langes Lied \xFC" "ber Gr\xFC" "n und Schwarz, das sich bewegt";
    DrawOscilloscopeFrame();
    const PixelBuffer& band = g_oscilloscope.pixels;

    // The same text drawn the usual way into a strip wide enough for every position.
    OscilloscopeSurface reference;
    ASSERT_TRUE(OpenSurface(reference, window, 1200, 20));
    SelectObject(reference.dc, GetCurrentObject(g_oscilloscope.dc, OBJ_FONT));
    SetTextColor(reference.dc, RGB(0, 150, 0));
    SetBkColor(reference.dc, RGB(0, 0, 0));
    SetBkMode(reference.dc, OPAQUE);
    TextOutA(reference.dc, 400, 0, g_track.displayText.c_str(), static_cast<int>(g_track.displayText.size()));
    GdiFlush();
    bool lit = false, found = false;
    for (int shift = -400; shift <= 400 && !found; ++shift) {
        bool same = true;
        for (int row = 0; row < 20 && same; ++row)
            for (int column = 0; column < 200 && same; ++column) {
                const uint32_t ours = band.pixels[(100 + row) * band.width + column] & 0xFFFFFF;
                lit = lit || ours != 0;
                same = ours == (reference.pixels.pixels[row * 1200 + column + 400 - shift] & 0xFFFFFF);
            }
        found = same;
    }
    EXPECT_TRUE(lit) << "no text in the band";
    EXPECT_TRUE(found) << "the band differs from the text drawn in place";
    CloseSurface(reference);
    CloseOscilloscopeSurface();
    DestroyWindow(window);
}
