// DLS banks: read and played; opened on their own they play their waves.
#include "fuzz_codec_decode.h"
#include "fuzz_midi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOpenAndDecode(engine::OpenDls, data, size);
    midi::Bank bank;
    if (midi::ReadDls(data, size, bank) == midi::BankResult::Ok) PlayBank(bank);
    return 0;
}
