// Playlist detection and the PLS, M3U and ASX readers, plus detection of every format by
// content, from memory and as a stream that cannot seek.
#include "fuzz_codec_decode.h"
#include "playlists/playlist_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOpenAndDecode(engine::OpenPlaylist, data, size);
    const std::string text = engine::PlaylistBytesToUtf8(data, size);
    engine::ReadPls(text), engine::ReadM3u(text), engine::ReadAsx(text);
    for (bool stream : {false, true}) {
        engine::TagList tags;
        engine::OpenedSound sound;
        std::unique_ptr<engine::Reader> reader = std::make_unique<engine::MemoryReader>(data, size);
        if (stream) reader = std::make_unique<ForwardOnlyReader>(data, size);
        if (engine::OpenByContent(std::move(reader), tags, sound) != FMOD_OK || !sound.decoder) continue;
        const FMOD_SOUND_TYPE type = sound.decoder->Format().type;
        FuzzDecoder(*sound.decoder, data, size, type == FMOD_SOUND_TYPE_WAV || type == FMOD_SOUND_TYPE_AIFF);
    }
    return 0;
}
