// The instruments heard when no sound bank is found: one synthesized sound per General MIDI
// family (16 of them, each for its 8 programs) and one drum kit, made in a few milliseconds.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "midi/bank.h"

namespace midi {
namespace {

constexpr uint32_t kCycleFrames = 512;
constexpr int kCycleCopies = 8;
constexpr double kMiddleC = 261.6255653;
constexpr uint32_t kOneShotRate = 44100;
constexpr double kHighestPartialHz = 18000;

enum class Wave { Cycle, Plucked, Struck };

struct Family {
    Wave wave;
    float harmonicSlope;  // partial n at n^-slope
    bool oddOnly;
    Envelope volEnv;
    float filterCents, modEnvToFilter;
    Envelope modEnv;
    float vibratoCents, chorus;
    float attenuationDb;
};

// delay, attack, hold, decay, sustain, release
const Family kFamilies[16] = {
    {Wave::Struck, 1.5f, false, {0, 0.002f, 0, 3.5f, 0, 0.3f}, 11000, 2400, {0, 0, 0, 1.5f, 0, 0.3f}, 0, 0, 0},  // piano
    {Wave::Struck, 3.0f, false, {0, 0.001f, 0, 2.0f, 0, 0.4f}, 13500, 0, {}, 0, 0, 0},                          // chromatic
    {Wave::Cycle, 1.0f, true, {0, 0.01f, 0, 0, 1, 0.08f}, 13500, 0, {}, 8, 0.3f, 4},                          // organ
    {Wave::Plucked, 0, false, {0, 0, 0, 0, 1, 0.25f}, 13500, 0, {}, 0, 0.2f, 0},                               // guitar
    {Wave::Plucked, 0, false, {0, 0, 0, 0, 1, 0.15f}, 13500, 0, {}, 0, 0, 0},                                   // bass
    {Wave::Cycle, 1.0f, false, {0, 0.25f, 0, 0, 1, 0.4f}, 13500, 0, {}, 12, 0.3f, 5},                        // strings
    {Wave::Cycle, 1.6f, false, {0, 0.35f, 0, 0, 1, 0.5f}, 13500, 0, {}, 10, 0.6f, 5},                        // ensemble
    {Wave::Cycle, 1.0f, false, {0, 0.05f, 0, 1.0f, 0.9f, 0.15f}, 8500, 3600, {0, 0.08f, 0, 0.6f, 0.5f, 0.2f}, 6, 0, 5},  // brass
    {Wave::Cycle, 1.0f, true, {0, 0.03f, 0, 0, 1, 0.1f}, 13500, 0, {}, 10, 0, 4},                            // reed
    {Wave::Cycle, 2.5f, false, {0, 0.06f, 0, 0, 1, 0.12f}, 13500, 0, {}, 10, 0.2f, 3},                       // pipe
    {Wave::Cycle, 1.0f, false, {0, 0.005f, 0, 0, 1, 0.1f}, 10000, 1200, {0, 0, 0, 0.5f, 0.5f, 0.1f}, 6, 0, 7},  // synth lead
    {Wave::Cycle, 1.6f, false, {0, 0.6f, 0, 0, 1, 1.0f}, 13500, 0, {}, 6, 0.7f, 6},                           // synth pad
    {Wave::Cycle, 1.0f, true, {0, 0.3f, 0, 2.0f, 0.7f, 1.0f}, 8000, 3000, {0, 1.0f, 0, 1.0f, 0.3f, 1.0f}, 20, 0.5f, 6},  // synth effects
    {Wave::Plucked, 0, false, {0, 0, 0, 0, 1, 0.2f}, 13500, 0, {}, 0, 0, 0},                                   // ethnic
    {Wave::Struck, 4.0f, false, {0, 0.001f, 0, 0.8f, 0, 0.2f}, 13500, 0, {}, 0, 0, 0},                          // percussive
    {Wave::Cycle, 1.0f, true, {0, 0.1f, 0, 0, 1, 0.5f}, 13500, 0, {}, 60, 0.3f, 8},                           // sound effects
};

double KeyHz(int key) { return 440.0 * std::pow(2.0, (key - 69) / 12.0); }

// A cycle is stored several times over, so that high notes wrap round the loop less often, and
// followed by its own start, so that interpolation across the loop end is seamless.
uint32_t Append(Bank& bank, const std::vector<float>& samples, bool cycle = false) {
    const uint32_t start = uint32_t(bank.pcm.size());
    for (int copy = 0; copy < (cycle ? kCycleCopies : 1); ++copy)
        bank.pcm.insert(bank.pcm.end(), samples.begin(), samples.end());
    const uint32_t length = uint32_t(bank.pcm.size()) - start;
    if (cycle) bank.pcm.insert(bank.pcm.end(), samples.begin(), samples.begin() + kSampleGuard);
    else bank.pcm.insert(bank.pcm.end(), kSampleGuard, 0.0f);
    bank.waves.push_back({start, length, kOneShotRate});
    return start;
}

void Normalise(std::vector<float>& s, float peak) {
    float max = 0;
    for (float x : s) max = std::max(max, std::fabs(x));
    if (max > 0)
        for (float& x : s) x *= peak / max;
}

// One period of middle C with the partials that stay below the highest partial up to topKey.
std::vector<float> Cycle(const Family& f, int topKey) {
    const int partials = std::max(1, int(kHighestPartialHz / KeyHz(topKey)));
    std::vector<float> s(kCycleFrames);
    for (int n = 1; n <= partials; ++n) {
        if (f.oddOnly && n % 2 == 0) continue;
        const float a = std::pow(float(n), -f.harmonicSlope);
        for (uint32_t i = 0; i < kCycleFrames; ++i) s[i] += a * float(std::sin(2 * std::numbers::pi * n * i / kCycleFrames));
    }
    Normalise(s, 0.8f);
    return s;
}

// A plucked string (a delay line that averages as it goes round), root key `root`.
std::vector<float> Pluck(int root, float seconds, uint32_t& seed, float& tuneCents) {
    const double period = kOneShotRate / KeyHz(root);
    const size_t delay = size_t(period - 0.5);
    tuneCents = float(1200 * std::log2((delay + 0.5) / period));
    std::vector<float> s(size_t(seconds * kOneShotRate));
    for (size_t i = 0; i < delay && i < s.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        s[i] = float(int32_t(seed) >> 8) / float(1 << 23);
    }
    for (size_t i = delay; i < s.size(); ++i) s[i] = 0.498f * (s[i - delay] + (i > delay ? s[i - delay - 1] : 0));
    Normalise(s, 0.8f);
    return s;
}

Region BaseRegion(const Family& f) {
    Region r;
    r.volEnv = f.volEnv;
    r.modEnv = f.modEnv;
    r.filterCents = f.filterCents;
    r.modEnvToFilter = f.modEnvToFilter;
    r.vibLfo = {0.25f, 5.5f};
    r.vibLfoToPitch = f.vibratoCents;
    r.chorusSend = f.chorus;
    r.attenuationDb = f.attenuationDb;
    return r;
}

void AddFamily(Bank& bank, const Family& f, uint32_t& seed, std::vector<Region>& regions) {
    if (f.wave == Wave::Plucked) {
        const bool bass = &f == &kFamilies[4];
        float tune = 0;
        const int root = bass ? 36 : 60;
        const std::vector<float> s = Pluck(root, bass ? 2.5f : 2.0f, seed, tune);
        Region r = BaseRegion(f);
        r.start = Append(bank, s);
        r.end = r.start + uint32_t(s.size());
        r.rootKey = root;
        r.tuneCents = -tune;
        r.sampleRate = kOneShotRate;
        regions.push_back(r);
        return;
    }
    // Cycles for three key ranges, the higher with fewer partials so nothing folds back.
    const int ranges[3][2] = {{0, 59}, {60, 83}, {84, 127}};
    for (const auto& range : ranges) {
        const std::vector<float> s = Cycle(f, range[1]);
        Region r = BaseRegion(f);
        r.keyLo = uint8_t(range[0]);
        r.keyHi = uint8_t(range[1]);
        r.start = Append(bank, s, true);
        r.end = r.loopEnd = r.start + kCycleFrames * kCycleCopies;
        r.loopStart = r.start;
        r.loops = true;
        r.rootKey = 60;
        r.sampleRate = uint32_t(std::lround(kCycleFrames * kMiddleC));
        regions.push_back(r);
    }
}

// ---- drums: bursts of noise and swept sines ----

struct DrumSound {
    float seconds;
    float startHz, endHz, sweep;  // sine from startHz towards endHz at rate sweep
    float toneDecay, noiseDecay, noiseLevel;
    bool brightNoise;             // differentiated noise: hats and cymbals
};

enum Drum { Kick, Snare, Clap, ClosedHat, OpenHat, Tom, Crash, Ride, Bell, DrumCount };

const DrumSound kDrums[DrumCount] = {
    {0.4f, 150, 48, 30, 8, 60, 0.05f, false},     // kick
    {0.3f, 190, 180, 0, 20, 13, 0.7f, false},     // snare
    {0.25f, 0, 0, 0, 0, 22, 1, false},            // clap, rim
    {0.12f, 0, 0, 0, 0, 55, 1, true},             // closed hat
    {0.6f, 0, 0, 0, 0, 7, 1, true},               // open hat
    {0.6f, 140, 110, 8, 7, 30, 0.15f, false},     // tom, root key 45
    {1.8f, 0, 0, 0, 0, 2.2f, 1, true},            // crash
    {1.5f, 3100, 3100, 0, 3, 4, 0.5f, true},      // ride
    {0.4f, 560, 560, 0, 12, 0, 0, false},         // bell, cowbell and the rest, root key 60
};

std::vector<float> MakeDrum(const DrumSound& d, uint32_t& seed) {
    std::vector<float> s(size_t(d.seconds * kOneShotRate));
    double phase = 0;
    float last = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = float(i) / kOneShotRate;
        const double hz = d.endHz + (d.startHz - d.endHz) * std::exp(-t * d.sweep);
        phase += 2 * std::numbers::pi * hz / kOneShotRate;
        seed = seed * 1664525u + 1013904223u;
        const float white = float(int32_t(seed) >> 8) / float(1 << 23);
        const float noise = d.brightNoise ? white - last : white;
        last = white;
        const float tone = d.startHz > 0 ? float(std::sin(phase)) * std::exp(-t * d.toneDecay) : 0.0f;
        s[i] = tone + d.noiseLevel * noise * std::exp(-t * d.noiseDecay);
    }
    Normalise(s, 0.9f);
    // A 2 ms fade-in keeps the start from clicking harder than it should.
    for (size_t i = 0; i < 88 && i < s.size(); ++i) s[i] *= float(i) / 88.0f;
    return s;
}

Drum DrumForKey(int key) {
    switch (key) {
    case 35: case 36: return Kick;
    case 38: case 40: return Snare;
    case 37: case 39: return Clap;
    case 42: case 44: return ClosedHat;
    case 46: return OpenHat;
    case 41: case 43: case 45: case 47: case 48: case 50: return Tom;
    case 49: case 52: case 55: case 57: return Crash;
    case 51: case 53: case 59: return Ride;
    default: return Bell;
    }
}

Preset DrumKit(Bank& bank, uint32_t& seed) {
    uint32_t start[DrumCount], length[DrumCount];
    for (int d = 0; d < DrumCount; ++d) {
        const std::vector<float> s = MakeDrum(kDrums[d], seed);
        start[d] = Append(bank, s);
        length[d] = uint32_t(s.size());
    }
    Preset kit{kDrumBank, 0, "Drums", {}};
    for (int key = 27; key <= 87; ++key) {
        const Drum d = DrumForKey(key);
        Region r;
        r.keyLo = r.keyHi = uint8_t(key);
        r.start = start[d];
        r.end = start[d] + length[d];
        r.sampleRate = kOneShotRate;
        const bool pitched = d == Tom || d == Bell;
        r.rootKey = d == Tom ? 45 : 60;
        r.keyTrackCents = pitched ? 100 : 0;
        // Drums ring on after the note-off; hi-hats cut each other.
        r.volEnv = {0, 0, 0, 0, 1, 1.5f};
        r.exclusiveClass = d == ClosedHat || d == OpenHat ? 1 : 0;
        r.pan = float((key * 37) % 11 - 5) / 25.0f;
        kit.regions.push_back(r);
    }
    return kit;
}

}  // namespace

Bank BuiltInBank() {
    Bank bank;
    uint32_t seed = 0x51A7u;
    std::vector<Region> family[16];
    for (int f = 0; f < 16; ++f) AddFamily(bank, kFamilies[f], seed, family[f]);
    for (int program = 0; program < 128; ++program) bank.presets.push_back({0, program, "", family[program / 8]});
    bank.presets.push_back(DrumKit(bank, seed));
    return bank;
}

}  // namespace midi
