// RIFF MIDI: the input is the RIFF body after "RIFF", size and "RMID", so every input is one.
#include <cstring>

#include "fuzz_midi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'I', 'D'};
    const uint32_t body = uint32_t(size + 4);
    std::memcpy(file.data() + 4, &body, 4);
    file.insert(file.end(), data, data + size);
    midi::Song song;
    if (midi::ReadSong(file.data(), file.size(), song) == midi::Result::Ok)
        PlaySong(song, BuiltInForFuzzing(), size ? data[size - 1] : 0);
    return 0;
}
