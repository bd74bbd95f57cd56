#include "playlist/playlist_transport_win.h"

#include "playback/load_track_win.h"
#include "playback/track_info.h"
#include "playback/transport_win.h"
#include "playlist/entry_index.h"
#include "playlist/playlist.h"
#include "playlist/playlist_view_win.h"
#include "settings/settings.h"

#define LINE_BASE 330000
#include "ui/current_line.h"

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
    if (PauseOrResume()) return;
    AT_LINE(); LoadTrack(NextEntryPath(0));
}

void PlayNextEntry() {
    AT_LINE(); LoadTrack(NextEntryPath(1));
}

void PlayPreviousEntry() {
    AT_LINE(); LoadTrack(PreviousEntryPath(g_track.path));
}
