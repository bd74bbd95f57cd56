#pragma once
// Writes small MOD, S3M, XM and IT files from a compact description, so that the same
// song can be played by our player and by the reference one.
#include <cstdint>
#include <string>
#include <vector>

namespace trackref {

enum class Format { Mod, S3m, Xm, It };
enum class Wave { Sine, Saw, Noise };

struct SampleDesc {
    Wave wave = Wave::Sine;
    int frames = 4000;
    int period = 32;                 // frames per waveform cycle
    int loop = 1;                    // 0 none, 1 forward, 2 ping-pong (XM, IT)
    int loopStart = 0, loopEnd = 0;  // frames; an end of 0 is the sample's end
    bool bits16 = false;
    bool compressed = false;         // IT only: 2.14 compression at a fixed code width
    int c5Speed = 8363;              // MOD: as the nearest finetune
    int vibrato[4] = {};             // IT auto-vibrato: speed, depth, rate, wave
    int sustainStart = 0, sustainEnd = 0;  // IT forward sustain loop; none when equal
};

struct EnvelopeDesc {
    std::vector<std::pair<int, int>> points;  // tick, value (volume 0..64, others -32..32)
    int sustain = -1, loopStart = -1, loopEnd = -1;  // point indices
    bool filter = false;                             // IT pitch envelope drives the filter
    bool carry = false;                              // IT: a new note goes on from the old one's position
};

struct InstrumentDesc {
    int sample = 1;
    EnvelopeDesc volume, pan, pitch;
    int fadeout = 0;
    int vibrato[4] = {};              // XM auto-vibrato: type, sweep, depth, rate
    int nna = 0, dct = 0, dca = 0;    // IT new note action, duplicate check and action
    int cutoff = -1, resonance = -1;  // IT 0..127
};

// A row is cells separated by '|'; a cell is "NOT II VV EPP": note ("C-5", "===" key off,
// "^^^" cut, "~~~" fade; C-5 plays the sample at its middle C rate), instrument (decimal),
// volume column byte (hex) and effect letter as the format names it with its parameter
// (hex). Dots leave a field empty; "N*" before a row repeats it N times. 64 rows a pattern.
struct SongDesc {
    Format format = Format::Mod;
    int channels = 4;
    bool linear = true;          // XM, IT
    bool instrumentMode = true;  // IT
    int extraFlags = 0;          // IT header flags
    std::vector<SampleDesc> samples;
    std::vector<InstrumentDesc> instruments;  // XM, IT; empty: one plain one per sample
    std::vector<int> orders;
    std::vector<std::vector<std::string>> patterns;
};

std::vector<uint8_t> WriteModule(const SongDesc& song);

}  // namespace trackref
