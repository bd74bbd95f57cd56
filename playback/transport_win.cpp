#include "playback/transport_win.h"

#include "app/elements_win.h"
#include "playback/audio_engine.h"

#define LINE_BASE 220000
#include "app/current_line.h"

void ShowPauseSymbol() {
    SetControlImage(kPlayPauseButton, ImageId::PauseNormal);
    SetControlImage(kMiniPlayPauseButton, ImageId::MiniPauseNormal);
}

void ShowPlaySymbol() {
    SetControlImage(kPlayPauseButton, ImageId::PlayNormal);
    SetControlImage(kMiniPlayPauseButton, ImageId::MiniPlayNormal);
}

void StopPlayback() {
    if (g_audio.Channel_SetPaused) {
        AT_LINE(); g_audio.Channel_SetPaused(g_audio.channel, 1);
    }
    if (g_audio.Channel_SetPosition) {
        AT_LINE(); g_audio.Channel_SetPosition(g_audio.channel, 0, FMOD_TIMEUNIT_MS);
    }
    ShowPlaySymbol();
}
