#pragma once
// Writes small MOD, S3M, XM and IT files from a compact description, so that the same
// song can be played by our player and by the reference one. Only what the tests need:
// generated waveforms, one sample per instrument, patterns given as text rows.
#include <cstdint>
#include <string>
#include <vector>

namespace trackref {

enum class Format { Mod, S3m, Xm, It };
enum class Wave { Sine, Square, Saw, Noise };

struct SampleDesc {
    Wave wave = Wave::Sine;
    int frames = 4000;
    int period = 32;            // frames per waveform cycle
    int loop = 1;               // 0 none, 1 forward, 2 ping-pong (XM, IT)
    int loopStart = 0, loopEnd = 0;  // frames; an end of 0 is the sample's end
    bool bits16 = false;
    bool compressed = false;    // IT only: the 2.14 compression, fixed code width
    int volume = 64;
    int c5Speed = 8363;
    int vibrato[4] = {};        // IT auto-vibrato: speed, depth, rate, wave
    int sustainStart = 0, sustainEnd = 0;  // IT sustain loop (forward) in frames; none when equal
};

struct EnvelopeDesc {
    std::vector<std::pair<int, int>> points;  // tick, value (volume 0..64, others -32..32)
    int sustain = -1;                          // point index
    int loopStart = -1, loopEnd = -1;
    bool filter = false;                       // IT pitch envelope drives the filter
};

struct InstrumentDesc {
    int sample = 1;             // 1-based
    EnvelopeDesc volume, pan, pitch;
    int fadeout = 0;            // as the format stores it
    int vibrato[4] = {};        // XM auto-vibrato: type, sweep, depth, rate
    int nna = 0, dct = 0, dca = 0;   // IT new note action, duplicate check and action
    int cutoff = -1, resonance = -1;  // IT 0..127
};

// A row is cells separated by '|'; a cell is "NOT II VV EPP": note ("C-5", "===" key off,
// "^^^" cut, "~~~" fade; C-5 is the sample's middle C in every format), instrument
// (decimal), the volume column byte as the format stores it (hex), and the effect as the
// format names it (MOD/XM: 0-9, A-Z; S3M/IT: A-Z) with its parameter (hex). Dots or a
// short cell leave fields empty; "N*" before a row repeats it N times. Patterns have 64
// rows; missing rows are empty.
struct SongDesc {
    Format format = Format::Mod;
    int channels = 4;
    int speed = 6, tempo = 125;
    bool linear = true;         // XM, IT
    bool instrumentMode = true; // IT
    int extraFlags = 0;         // S3M/IT header flags added as they are
    std::vector<SampleDesc> samples;
    std::vector<InstrumentDesc> instruments;  // XM, IT; empty: one plain one per sample
    std::vector<int> orders;
    std::vector<std::vector<std::string>> patterns;
};

std::vector<uint8_t> WriteModule(const SongDesc& song);

}  // namespace trackref
