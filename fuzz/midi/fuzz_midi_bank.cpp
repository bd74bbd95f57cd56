// DLS and SoundFont 2 banks (each reader refuses the other's): played; DLS also opened alone.
#include "fuzz_codec_decode.h"
#include "fuzz_midi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOpenAndDecode(engine::OpenDls, data, size);
    midi::Bank dls, sf2;
    if (midi::ReadDls(data, size, dls) == midi::BankResult::Ok) PlayBank(dls);
    if (midi::ReadSoundFont(data, size, sf2) == midi::BankResult::Ok) PlayBank(sf2);
    return 0;
}
