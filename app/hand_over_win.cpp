#include "app/main_window_callback_win.h"

#include <string>
#include <vector>

#include "playback/track_info.h"
#include "playlist/add_to_playlist_win.h"
#include "playlist/playlist_view_win.h"

namespace {

// A second instance may hand over its path while this one is still starting: the system
// delivers the message inside any call that waits for another program (the tray icon's,
// for one). Paths that come before the event loop runs wait until start-up is complete,
// so they neither meet a half-built player nor get cleared by the last run's playlist.
bool g_running = false;
std::vector<std::string> g_waitingPaths;

void Take(const std::string& path) {
    AddToPlaylist(path, 0);
    RefreshPlaylistView(g_track.path);
}

} // namespace

void TakeHandedOverPath(const char* path) {
    if (!g_running) {
        g_waitingPaths.push_back(path);
        return;
    }
    Take(path);
}

void StartTakingHandedOverPaths() {
    g_running = true;
    std::vector<std::string> waiting;
    waiting.swap(g_waitingPaths);
    for (const std::string& path : waiting) Take(path);
}
