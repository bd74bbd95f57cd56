#include "app/main_window_callback_win.h"

#include "playback/track_info.h"
#include "playlist/add_to_playlist_win.h"
#include "playlist/playlist_view_win.h"

void TakeHandedOverPath(const char* path) {
    AddToPlaylist(path, 0);
    RefreshPlaylistView(g_track.path);
}
