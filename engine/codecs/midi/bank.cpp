#include <cstring>

#include "midi/bank.h"

namespace midi {

const Preset* FindPreset(const Bank& bank, int bankNumber, int program) {
    const Preset* sameProgram = nullptr;
    const Preset* standardKit = nullptr;
    for (const Preset& p : bank.presets) {
        if (p.bank == bankNumber && p.program == program) return &p;
        if (bankNumber != kDrumBank && p.bank == 0 && p.program == program) sameProgram = &p;
        if (bankNumber == kDrumBank && p.bank == kDrumBank && p.program == 0) standardKit = &p;
    }
    if (sameProgram) return sameProgram;
    if (standardKit) return standardKit;
    if (bankNumber == kDrumBank) return nullptr;  // no melodic sound for a drum channel
    return bank.presets.empty() ? nullptr : &bank.presets.front();
}

BankResult ReadBank(const uint8_t* data, size_t size, Bank& out) {
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0) return BankResult::NotABank;
    if (std::memcmp(data + 8, "sfbk", 4) == 0) return ReadSoundFont(data, size, out);
    if (std::memcmp(data + 8, "DLS ", 4) == 0) return ReadDls(data, size, out);
    return BankResult::NotABank;
}

}  // namespace midi
