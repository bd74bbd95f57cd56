// Playlists open as sounds without audio: one FMOD_TAGTYPE_PLAYLIST tag named
// "FILE" per entry, in file order.
#include <vector>

#include "formats/format_open.h"
#include "playlists/playlist_readers.h"

namespace engine {

int ProbePlaylist(const uint8_t* head, size_t size) {
    std::string text = PlaylistBytesToUtf8(head, size);
    switch (DetectPlaylist(text)) {
    case PlaylistKind::Pls: return 90;
    case PlaylistKind::Asx: return 80;
    case PlaylistKind::M3u: {
        // Extended M3U is certain; a plain one is a guess that real audio formats outrank.
        size_t first = text.find_first_not_of(" \t\r\n");
        return first != std::string::npos && StartsWithNoCase(std::string_view(text).substr(first), "#EXTM3U") ? 90
                                                                                                          : 10;
    }
    case PlaylistKind::None: return 0;
    }
    return 0;
}

FMOD_RESULT OpenPlaylist(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out) {
    Reader& in = *reader;
    if (!in.Seek(0)) return FMOD_ERR_FILE_COULDNOTSEEK;
    std::vector<uint8_t> bytes;
    uint8_t chunk[16384];
    while (bytes.size() < kMaxPlaylistBytes) {
        int64_t n = in.Read(chunk, sizeof chunk);
        if (n < 0) return FMOD_ERR_FILE_BAD;
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    if (bytes.size() > kMaxPlaylistBytes) bytes.resize(kMaxPlaylistBytes);
    std::string text = PlaylistBytesToUtf8(bytes.data(), bytes.size());
    std::vector<std::string> entries;
    switch (DetectPlaylist(text)) {
    case PlaylistKind::Pls: entries = ReadPls(text); break;
    case PlaylistKind::M3u: entries = ReadM3u(text); break;
    case PlaylistKind::Asx: entries = ReadAsx(text); break;
    case PlaylistKind::None: return FMOD_ERR_FORMAT;
    }
    for (std::string& entry : entries) tags.Add(FMOD_TAGTYPE_PLAYLIST, "FILE", std::move(entry));
    out.format = StreamFormat{};
    out.format.type = FMOD_SOUND_TYPE_PLAYLIST;
    return FMOD_OK;
}

}  // namespace engine
