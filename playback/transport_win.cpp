#include "playback/transport_win.h"

#include "app/elements_win.h"
#include "playback/audio_engine.h"
#include "playback/entry_index.h"
#include "playback/load_track_win.h"
#include "playback/track_info.h"
#include "playlist/playlist.h"
#include "playlist/playlist_view_win.h"
#include "settings/settings.h"

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

std::string NextEntryPath(int32_t force) {
    const int index = NextEntryIndex(g_playlist, g_track.path, g_settings.WiederholenEnable, force);
    MarkPlaylistRow(index);
    if (index < 0 || index >= static_cast<int>(g_playlist.size())) return "";
    return g_playlist[index].path;
}

std::string PreviousEntryPath(const std::string& currentPath) {
    const int index = PreviousEntryIndex(g_playlist, currentPath);
    MarkPlaylistRow(index);
    if (index < 0 || index >= static_cast<int>(g_playlist.size())) return "";
    return g_playlist[index].path;
}

void TogglePlayPause() {
    FMOD_BOOL paused = 0, playing = 0;
    AT_LINE(); g_audio.Channel_GetPaused(g_audio.channel, &paused);
    AT_LINE(); g_audio.Channel_IsPlaying(g_audio.channel, &playing);
    if (playing == 1) {
        if (paused == 1) {
            AT_LINE(); g_audio.Channel_SetPaused(g_audio.channel, 0);
            ShowPauseSymbol();
        } else {
            AT_LINE(); g_audio.Channel_SetPaused(g_audio.channel, 1);
            ShowPlaySymbol();
        }
        return;
    }
    AT_LINE(); LoadTrack(NextEntryPath(0));
}

void PlayNextEntry() {
    AT_LINE(); LoadTrack(NextEntryPath(1));
}

void PlayPreviousEntry() {
    AT_LINE(); LoadTrack(PreviousEntryPath(g_track.path));
}
