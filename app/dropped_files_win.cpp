#include "app/dropped_files_win.h"

#include <string>

#include "playback/track_info.h"
#include "playlist/add_to_playlist_win.h"
#include "playlist/playlist_view_win.h"

void TakeDroppedFiles(HDROP drop) {
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::string name(length + 1, '\0');
        const UINT copied = DragQueryFileA(drop, i, name.data(), length + 1);
        name.resize(copied);
        AddToPlaylist(name, 0);
    }
    DragFinish(drop);
    RefreshPlaylistView(g_track.path);
}
