// Playlist detection and the PLS, M3U and ASX readers, plus detection of every
// format by content (the path the engine takes for any file).
#include "fuzz_decode.h"
#include "playlists/playlist_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOpenAndDecode(engine::OpenPlaylist, data, size);
    const std::string text = engine::PlaylistBytesToUtf8(data, size);
    engine::ReadPls(text);
    engine::ReadM3u(text);
    engine::ReadAsx(text);

    engine::TagList tags;
    engine::OpenedSound sound;
    engine::OpenByContent(std::make_unique<engine::MemoryReader>(data, size), tags, sound);
    return 0;
}
