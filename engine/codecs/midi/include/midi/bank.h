#pragma once
// Instruments as the synthesizer plays them, whatever bank they came from (SoundFont 2,
// DLS or the built-in set): presets of key/velocity regions over one pool of samples.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace midi {

// Times in seconds; sustain as a level 0..1 on the envelope's dB scale (1 = full).
struct Envelope {
    float delay = 0;
    float attack = 0;
    float hold = 0;
    float decay = 0;
    float sustain = 1;
    float release = 0.01f;
};

struct Lfo {
    float delay = 0;
    float frequency = 8.176f;
};

struct Region {
    uint8_t keyLo = 0, keyHi = 127, velLo = 0, velHi = 127;
    // Offsets into Bank::pcm.
    uint32_t start = 0, end = 0, loopStart = 0, loopEnd = 0;
    bool loops = false;
    bool loopsUntilRelease = false;  // plays on past the loop once released
    int rootKey = 60;
    float keyTrackCents = 100;       // pitch change per key
    float tuneCents = 0;
    uint32_t sampleRate = 44100;
    float attenuationDb = 0;
    float pan = 0;                   // -0.5 left .. 0.5 right
    Envelope volEnv, modEnv;
    // Hold and decay change by this many timecents per key below 60 (longer for low keys).
    float keyToVolHoldCents = 0, keyToVolDecayCents = 0;
    float modEnvToPitch = 0, modEnvToFilter = 0;  // cents
    Lfo vibLfo, modLfo;
    float vibLfoToPitch = 0, modLfoToPitch = 0, modLfoToFilter = 0, modLfoToVolumeDb = 0;
    float filterCents = 13500;       // initial low-pass cutoff; 13500 and more: no filter
    float filterQDb = 0;
    int exclusiveClass = 0;
    float reverbSend = 0, chorusSend = 0;  // 0..1 added to the channel's
};

constexpr int kDrumBank = 128;

struct Preset {
    int bank = 0;
    int program = 0;
    std::string name;
    std::vector<Region> regions;
};

// A wave of the pool, for playing a bank's sounds one after another.
struct Wave {
    uint32_t start = 0, length = 0, sampleRate = 44100;
};

struct Bank {
    std::vector<float> pcm;  // every sample, with silence after each for interpolation
    std::vector<Preset> presets;
    std::vector<Wave> waves;
};

// Preset for a bank and program, else the same program in bank 0 (or the standard kit for
// drums), else the first preset; null when the bank has none.
const Preset* FindPreset(const Bank& bank, int bankNumber, int program);

// One synthesized instrument per General MIDI family and a drum kit (bank 128).
Bank BuiltInBank();

enum class BankResult { Ok, NotABank, Damaged, TooLarge };
BankResult ReadSoundFont(const uint8_t* data, size_t size, Bank& out);
BankResult ReadDls(const uint8_t* data, size_t size, Bank& out);
// Picks the reader by the RIFF form ("sfbk" or "DLS ").
BankResult ReadBank(const uint8_t* data, size_t size, Bank& out);

// Silence appended after each sample so interpolation never reads past it.
constexpr uint32_t kSampleGuard = 4;
constexpr size_t kMaxBankSamples = 256u << 20;
constexpr size_t kMaxRegions = 1u << 20;

}  // namespace midi
