#pragma once
// The instruments MIDI files play with: the first sound bank found where the shared library
// looks (a gm.dls beside it, the Windows bank, SoundFonts beside it), else the built-in set.
// Loaded once and shared by every MIDI sound; safe from any thread.
#include <memory>
#include <string>
#include <vector>

#include "fmodex.h"
#include "io/reader.h"
#include "midi/bank.h"

namespace engine {

struct SoundBankSource {
    // Candidate bank files, best first; null where there are none (native builds).
    std::vector<std::string> (*paths)() = nullptr;
    std::unique_ptr<Reader> (*openFile)(const char* path, FMOD_RESULT* result) = nullptr;
};

// Set by the system when it is created; the bank is looked for at the first MIDI file.
void SetSoundBankSource(const SoundBankSource& source);
std::shared_ptr<const midi::Bank> CurrentSoundBank();

// The whole of a reader's content, up to maxBytes; false on an error or when larger.
bool ReadWhole(Reader& reader, uint64_t maxBytes, std::vector<uint8_t>& out);

}  // namespace engine
