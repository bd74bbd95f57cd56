#include "playlist/entry_index.h"

#include "text/path_text.h"

int NextEntryIndex(const Playlist& playlist, const std::string& currentPath, int32_t repeat, int32_t force) {
    const int count = static_cast<int>(playlist.size());
    int index = -2;
    for (int i = 0; i < count; ++i)
        if (PathsEqual(playlist[i].path, currentPath)) index = i + 1;
    if (index > count - 1) index = (repeat == 1 || force == 1) ? 0 : -1;
    if (index == -2) index = 0;
    return index;
}

int PreviousEntryIndex(const Playlist& playlist, const std::string& currentPath) {
    const int count = static_cast<int>(playlist.size());
    int index = -1;
    for (int i = 0; i < count; ++i)
        if (PathsEqual(playlist[i].path, currentPath)) index = i - 1;
    if (index < 0) index = count - 1;
    return index;
}
