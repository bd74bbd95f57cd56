// Playlist detection and the PLS, M3U and ASX readers, plus detection of every
// format by content, from memory and as a stream that cannot seek.
#include "fuzz_decode.h"
#include "playlists/playlist_readers.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOpenAndDecode(engine::OpenPlaylist, data, size);
    const std::string text = engine::PlaylistBytesToUtf8(data, size);
    engine::ReadPls(text);
    engine::ReadM3u(text);
    engine::ReadAsx(text);

    engine::TagList tags;
    engine::OpenedSound sound;
    engine::OpenByContent(std::make_unique<engine::MemoryReader>(data, size), tags, sound);

    // The same input as a stream that cannot seek.
    engine::TagList streamTags;
    engine::OpenedSound streamed;
    if (engine::OpenByContent(std::make_unique<ForwardOnlyReader>(data, size), streamTags, streamed) == FMOD_OK &&
        streamed.decoder) {
        std::vector<float> out(static_cast<size_t>(64) * streamed.decoder->Format().channels);
        while (streamed.decoder->ReadFrames(out.data(), 64) > 0) {
        }
    }
    return 0;
}
