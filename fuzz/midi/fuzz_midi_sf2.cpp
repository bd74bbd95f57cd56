// SoundFont 2 banks: read and played.
#include "fuzz_midi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    midi::Bank bank;
    if (midi::ReadSoundFont(data, size, bank) == midi::BankResult::Ok) PlayBank(bank);
    return 0;
}
