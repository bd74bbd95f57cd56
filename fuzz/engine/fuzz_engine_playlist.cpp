// Playlist detection and the PLS, M3U and ASX readers, plus detection of every format by
// content, from memory and as a stream that cannot seek.
#include "fuzz_codec_decode.h"
#include "playlists/playlist_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOpenAndDecode(engine::OpenPlaylist, data, size);
    const std::string text = engine::PlaylistBytesToUtf8(data, size);
    engine::ReadPls(text);
    engine::ReadM3u(text);
    engine::ReadAsx(text);
    for (bool stream : {false, true}) {
        engine::TagList tags;
        engine::OpenedSound sound;
        std::unique_ptr<engine::Reader> reader;
        if (stream) reader = std::make_unique<ForwardOnlyReader>(data, size);
        else reader = std::make_unique<engine::MemoryReader>(data, size);
        if (engine::OpenByContent(std::move(reader), tags, sound) != FMOD_OK || !sound.decoder) continue;
        std::vector<float> out(static_cast<size_t>(64) * sound.decoder->Format().channels);
        while (sound.decoder->ReadFrames(out.data(), 64) > 0) {
        }
    }
    return 0;
}
