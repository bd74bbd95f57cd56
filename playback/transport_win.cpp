#include "playback/transport_win.h"

#include "playback/audio_engine.h"
#include "ui/elements_win.h"

#define LINE_BASE 220000
#include "ui/current_line.h"

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

bool PauseOrResume() {
    FMOD_BOOL paused = 0, playing = 0;
    AT_LINE(); g_audio.Channel_GetPaused(g_audio.channel, &paused);
    AT_LINE(); g_audio.Channel_IsPlaying(g_audio.channel, &playing);
    if (playing != 1) return false;
    if (paused == 1) {
        AT_LINE(); g_audio.Channel_SetPaused(g_audio.channel, 0);
        ShowPauseSymbol();
    } else {
        AT_LINE(); g_audio.Channel_SetPaused(g_audio.channel, 1);
        ShowPlaySymbol();
    }
    return true;
}
