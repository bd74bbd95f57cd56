// MIDI files, plain and RIFF: through the engine's open (tags), then played for a while.
#include "fuzz_codec_decode.h"
#include "fuzz_midi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<engine::Reader> reader = std::make_unique<engine::MemoryReader>(data, size);
    engine::TagList tags;
    engine::OpenedSound sound;
    if (engine::OpenMidi(reader, tags, sound) == FMOD_OK) TouchTags(tags);
    midi::Song song;
    if (midi::ReadSong(data, size, song) == midi::Result::Ok) PlaySong(song, BuiltInForFuzzing(), size ? data[size - 1] : 0);
    return 0;
}
