#include "module_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace trackref {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kRows = 64;

struct Cell {
    int note = 0;  // 1 = C-0 .. 120; -1 off, -2 cut, -3 fade
    int instrument = 0;
    int volume = -1;
    char effect = 0;
    int param = 0;
};

int Hex(const std::string& s, size_t at, int digits) {
    int v = 0;
    for (int i = 0; i < digits; ++i) {
        const char c = at + i < s.size() ? s[at + i] : '.';
        if (!std::isxdigit(uint8_t(c))) return -1;
        v = v * 16 + (std::isdigit(uint8_t(c)) ? c - '0' : std::toupper(c) - 'A' + 10);
    }
    return v;
}

Cell ParseCell(const std::string& s) {
    Cell c;
    const std::string note = s.substr(0, 3);
    static const char* names[] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
    if (note == "===") c.note = -1;
    if (note == "^^^") c.note = -2;
    if (note == "~~~") c.note = -3;
    for (int i = 0; i < 12 && note.size() == 3; ++i)
        if (note.compare(0, 2, names[i]) == 0 && std::isdigit(uint8_t(note[2]))) c.note = (note[2] - '0') * 12 + i + 1;
    if (s.size() > 5 && std::isdigit(uint8_t(s[4]))) c.instrument = std::stoi(s.substr(4, 2));
    c.volume = Hex(s, 7, 2);
    if (s.size() > 10 && std::isalnum(uint8_t(s[10]))) {
        c.effect = char(std::toupper(s[10]));
        c.param = std::max(0, Hex(s, 11, 2));
    }
    return c;
}

// Pattern p as rows x channels cells.
std::vector<Cell> ParsePattern(const SongDesc& song, size_t p) {
    std::vector<Cell> cells(kRows * song.channels);
    if (p >= song.patterns.size()) return cells;
    std::vector<std::string> rows;  // "N*row" stands for N such rows
    for (const std::string& row : song.patterns[p]) {
        const size_t star = row.find('*');
        const bool repeated = star != std::string::npos && star < 3 && std::isdigit(uint8_t(row[0]));
        rows.insert(rows.end(), repeated ? std::stoi(row) : 1, repeated ? row.substr(star + 1) : row);
    }
    for (size_t r = 0; r < rows.size() && r < kRows; ++r) {
        size_t from = 0;
        for (int ch = 0; ch < song.channels && from <= rows[r].size(); ++ch) {
            size_t to = rows[r].find('|', from);
            if (to == std::string::npos) to = rows[r].size();
            cells[r * song.channels + ch] = ParseCell(rows[r].substr(from, to - from));
            from = to + 1;
        }
    }
    return cells;
}

// Tones rise in loudness through the sample, so that the playing position (and with it
// every pitch effect) shows in the loudness envelope.
std::vector<float> Waveform(const SampleDesc& s) {
    std::vector<float> out(s.frames);
    uint32_t seed = 12345;
    for (int i = 0; i < s.frames; ++i) {
        const double phase = double(i % s.period) / s.period, rise = 0.15 + 0.85 * i / s.frames;
        switch (s.wave) {
        case Wave::Sine: out[i] = float(0.8 * rise * std::sin(2 * M_PI * phase)); break;
        case Wave::Square: out[i] = float(phase < 0.5 ? 0.6 * rise : -0.6 * rise); break;
        case Wave::Saw: out[i] = float((1.4 * phase - 0.7) * rise); break;
        case Wave::Noise: seed = seed * 1103515245 + 12345; out[i] = float(int(seed >> 16 & 0xFFFF) - 32768) / 50000; break;
        }
    }
    return out;
}

void Put(Bytes& b, size_t at, uint32_t v, int bytes, bool bigEndian = false) {
    if (b.size() < at + bytes) b.resize(at + bytes);
    for (int i = 0; i < bytes; ++i) b[at + (bigEndian ? bytes - 1 - i : i)] = uint8_t(v >> (8 * i));
}
void PutText(Bytes& b, size_t at, const std::string& s, size_t room) {
    if (b.size() < at + room) b.resize(at + room);
    std::memcpy(&b[at], s.data(), std::min(room, s.size()));
}
void Align16(Bytes& b) { b.resize((b.size() + 15) & ~size_t(15)); }

// Signed PCM; `unsignedData` adds the offset S3M wants, `delta` stores differences (XM).
Bytes Pcm(const SampleDesc& s, bool unsignedData = false, bool delta = false) {
    Bytes out;
    int previous = 0;
    for (float f : Waveform(s)) {
        int v = s.bits16 ? int(std::lround(f * 32767)) : int(std::lround(f * 127));
        const int stored = delta ? v - previous : v;
        previous = v;
        const int offset = unsignedData ? (s.bits16 ? 0x8000 : 0x80) : 0;
        if (s.bits16) Put(out, out.size(), uint32_t(stored + offset) & 0xFFFF, 2);
        else out.push_back(uint8_t(stored + offset));
    }
    return out;
}

int LoopEnd(const SampleDesc& s) { return s.loopEnd ? s.loopEnd : s.frames; }

std::vector<InstrumentDesc> Instruments(const SongDesc& song) {
    if (!song.instruments.empty()) return song.instruments;
    std::vector<InstrumentDesc> plain(song.samples.size());
    for (size_t i = 0; i < plain.size(); ++i) plain[i].sample = int(i + 1);
    return plain;
}

int PatternCount(const SongDesc& song) {
    int n = int(song.patterns.size());
    for (int o : song.orders)
        if (o < 200) n = std::max(n, o + 1);
    return n;
}

// ---- MOD ----
Bytes WriteMod(const SongDesc& song) {
    static const int periods[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                                    428, 404, 381, 360, 340, 320, 302, 285, 269, 254, 240, 226,
                                    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};
    Bytes b(1084);
    PutText(b, 0, "writer test", 20);
    for (size_t i = 0; i < song.samples.size() && i < 31; ++i) {
        const SampleDesc& s = song.samples[i];
        const size_t at = 20 + 30 * i;
        PutText(b, at, "sample", 22);
        Put(b, at + 22, s.frames / 2, 2, true);
        b[at + 25] = uint8_t(s.volume);
        Put(b, at + 26, s.loop ? s.loopStart / 2 : 0, 2, true);
        Put(b, at + 28, s.loop ? (LoopEnd(s) - s.loopStart) / 2 : 1, 2, true);
    }
    b[950] = uint8_t(song.orders.size());
    b[951] = 127;
    for (size_t i = 0; i < song.orders.size(); ++i) b[952 + i] = uint8_t(song.orders[i]);
    PutText(b, 1080, song.channels == 4 ? "M.K." : std::to_string(song.channels) + "CHN", 4);
    for (int p = 0; p < PatternCount(song); ++p) {
        const std::vector<Cell> cells = ParsePattern(song, p);
        for (const Cell& c : cells) {
            const int period = c.note > 0 ? periods[std::clamp(c.note - 49, 0, 35)] : 0;
            const int effect = c.effect ? Hex(std::string(1, c.effect), 0, 1) : 0;
            b.push_back(uint8_t((c.instrument & 0x10) | period >> 8));
            b.push_back(uint8_t(period));
            b.push_back(uint8_t((c.instrument & 15) << 4 | std::max(effect, 0)));
            b.push_back(uint8_t(c.param));
        }
    }
    for (const SampleDesc& s : song.samples) {
        const Bytes pcm = Pcm(s);
        b.insert(b.end(), pcm.begin(), pcm.begin() + (s.frames & ~1));
    }
    return b;
}

// ---- S3M ----
Bytes WriteS3m(const SongDesc& song) {
    std::vector<int> orders = song.orders;
    if (orders.size() % 2) orders.push_back(255);
    const int patterns = PatternCount(song), samples = int(song.samples.size());
    Bytes b(96);
    PutText(b, 0, "writer test", 28);
    b[28] = 0x1A;
    b[29] = 16;
    Put(b, 32, uint32_t(orders.size()), 2);
    Put(b, 34, samples, 2);
    Put(b, 36, patterns, 2);
    Put(b, 38, song.extraFlags, 2);
    Put(b, 40, 0x1320, 2);
    Put(b, 42, 2, 2);  // unsigned samples
    PutText(b, 44, "SCRM", 4);
    b[48] = 64;
    b[49] = uint8_t(song.speed);
    b[50] = uint8_t(song.tempo);
    b[51] = 0x80 | 48;
    for (int ch = 0; ch < 32; ++ch) b[64 + ch] = ch < song.channels ? uint8_t(ch % 2 ? 8 + ch / 2 : ch / 2) : 255;
    for (int o : orders) b.push_back(uint8_t(o));
    const size_t pointers = b.size();
    b.resize(b.size() + 2 * (samples + patterns));
    Align16(b);
    std::vector<size_t> sampleHeaders;
    for (int i = 0; i < samples; ++i) {
        const SampleDesc& s = song.samples[i];
        Put(b, pointers + 2 * i, uint32_t(b.size() / 16), 2);
        sampleHeaders.push_back(b.size());
        const size_t at = b.size();
        b.resize(at + 80);
        b[at] = 1;
        Put(b, at + 16, s.frames, 4);
        Put(b, at + 20, s.loopStart, 4);
        Put(b, at + 24, LoopEnd(s), 4);
        b[at + 28] = uint8_t(s.volume);
        b[at + 31] = uint8_t((s.loop ? 1 : 0) | (s.bits16 ? 4 : 0));
        Put(b, at + 32, s.c5Speed, 4);
        PutText(b, at + 48, "sample", 28);
        PutText(b, at + 76, "SCRS", 4);
    }
    for (int p = 0; p < patterns; ++p) {
        Put(b, pointers + 2 * (samples + p), uint32_t(b.size() / 16), 2);
        const size_t start = b.size();
        b.resize(start + 2);
        const std::vector<Cell> cells = ParsePattern(song, p);
        for (int r = 0; r < kRows; ++r) {
            for (int ch = 0; ch < song.channels; ++ch) {
                const Cell& c = cells[r * song.channels + ch];
                const int what = ch | (c.note || c.instrument ? 0x20 : 0) | (c.volume >= 0 ? 0x40 : 0) | (c.effect ? 0x80 : 0);
                if (what == ch) continue;
                b.push_back(uint8_t(what));
                if (what & 0x20) {
                    const int n = c.note > 0 ? ((c.note - 1) / 12 - 1) << 4 | (c.note - 1) % 12 : c.note == -2 ? 254 : 255;
                    b.push_back(uint8_t(n));
                    b.push_back(uint8_t(c.instrument));
                }
                if (what & 0x40) b.push_back(uint8_t(c.volume));
                if (what & 0x80) {
                    b.push_back(uint8_t(c.effect - 'A' + 1));
                    b.push_back(uint8_t(c.param));
                }
            }
            b.push_back(0);
        }
        Put(b, start, uint32_t(b.size() - start), 2);
        Align16(b);
    }
    for (int i = 0; i < samples; ++i) {
        const uint32_t para = uint32_t(b.size() / 16);
        b[sampleHeaders[i] + 13] = uint8_t(para >> 16);
        Put(b, sampleHeaders[i] + 14, para & 0xFFFF, 2);
        const Bytes pcm = Pcm(song.samples[i], true);
        b.insert(b.end(), pcm.begin(), pcm.end());
        Align16(b);
    }
    return b;
}

// ---- XM ----
void PutXmEnvelope(Bytes& b, size_t at, const EnvelopeDesc& e, int offset, size_t countAt, size_t sustainAt, size_t typeAt) {
    for (size_t i = 0; i < e.points.size() && i < 12; ++i) {
        Put(b, at + 4 * i, e.points[i].first, 2);
        Put(b, at + 4 * i + 2, e.points[i].second + offset, 2);
    }
    b[countAt] = uint8_t(e.points.size());
    b[sustainAt] = uint8_t(std::max(e.sustain, 0));
    b[sustainAt + 1] = uint8_t(std::max(e.loopStart, 0));
    b[sustainAt + 2] = uint8_t(std::max(e.loopEnd, 0));
    b[typeAt] = uint8_t((e.points.empty() ? 0 : 1) | (e.sustain >= 0 ? 2 : 0) | (e.loopStart >= 0 ? 4 : 0));
}

Bytes WriteXm(const SongDesc& song) {
    const std::vector<InstrumentDesc> instruments = Instruments(song);
    const int patterns = PatternCount(song);
    Bytes b;
    PutText(b, 0, "Extended Module: writer test", 37);
    b[37] = 0x1A;
    PutText(b, 38, "writer", 20);
    Put(b, 58, 0x0104, 2);
    Put(b, 60, 276, 4);
    Put(b, 64, uint32_t(song.orders.size()), 2);
    Put(b, 66, 0, 2);
    Put(b, 68, song.channels, 2);
    Put(b, 70, patterns, 2);
    Put(b, 72, uint32_t(instruments.size()), 2);
    Put(b, 74, song.linear ? 1 : 0, 2);
    Put(b, 76, song.speed, 2);
    Put(b, 78, song.tempo, 2);
    b.resize(336);
    for (size_t i = 0; i < song.orders.size(); ++i) b[80 + i] = uint8_t(song.orders[i]);
    for (int p = 0; p < patterns; ++p) {
        const std::vector<Cell> cells = ParsePattern(song, p);
        const size_t at = b.size();
        Put(b, at, 9, 4);
        Put(b, at + 5, kRows, 2);
        Put(b, at + 7, uint32_t(cells.size() * 5), 2);
        for (const Cell& c : cells) {
            b.push_back(uint8_t(c.note > 0 ? c.note - 12 : c.note == -1 ? 97 : 0));
            b.push_back(uint8_t(c.instrument));
            b.push_back(uint8_t(std::max(c.volume, 0)));
            b.push_back(uint8_t(c.effect ? (std::isdigit(uint8_t(c.effect)) ? c.effect - '0' : c.effect - 'A' + 10) : 0));
            b.push_back(uint8_t(c.param));
        }
    }
    for (const InstrumentDesc& ins : instruments) {
        const SampleDesc& s = song.samples[ins.sample - 1];
        const size_t at = b.size();
        b.resize(at + 263);
        Put(b, at, 263, 4);
        PutText(b, at + 4, "instrument", 22);
        Put(b, at + 27, 1, 2);
        Put(b, at + 29, 40, 4);
        PutXmEnvelope(b, at + 129, ins.volume, 0, at + 225, at + 227, at + 233);
        PutXmEnvelope(b, at + 177, ins.pan, 32, at + 226, at + 230, at + 234);
        for (int i = 0; i < 4; ++i) b[at + 235 + i] = uint8_t(ins.vibrato[i]);
        Put(b, at + 239, ins.fadeout, 2);
        // Relative note and finetune from the middle C rate.
        const double semitones = 12 * std::log2(s.c5Speed / 8363.0);
        const int relative = int(std::floor(semitones));
        const int width = s.bits16 ? 2 : 1;
        const size_t sh = b.size();
        b.resize(sh + 40);
        Put(b, sh, s.frames * width, 4);
        Put(b, sh + 4, s.loop ? s.loopStart * width : 0, 4);
        Put(b, sh + 8, s.loop ? (LoopEnd(s) - s.loopStart) * width : 0, 4);
        b[sh + 12] = uint8_t(s.volume);
        b[sh + 13] = uint8_t(int8_t(std::lround((semitones - relative) * 128)));
        b[sh + 14] = uint8_t(s.loop | (s.bits16 ? 16 : 0));
        b[sh + 15] = 128;
        b[sh + 16] = uint8_t(int8_t(relative));
        PutText(b, sh + 18, "sample", 22);
        const Bytes pcm = Pcm(s, false, true);
        b.insert(b.end(), pcm.begin(), pcm.end());
    }
    return b;
}

// ---- IT ----
void PutItEnvelope(Bytes& b, size_t at, const EnvelopeDesc& e) {
    b[at] = uint8_t((e.points.empty() ? 0 : 1) | (e.loopStart >= 0 ? 2 : 0) | (e.sustain >= 0 ? 4 : 0) | (e.filter ? 128 : 0));
    b[at + 1] = uint8_t(e.points.size());
    b[at + 2] = uint8_t(std::max(e.loopStart, 0));
    b[at + 3] = uint8_t(std::max(e.loopEnd, 0));
    b[at + 4] = b[at + 5] = uint8_t(std::max(e.sustain, 0));
    for (size_t i = 0; i < e.points.size() && i < 25; ++i) {
        b[at + 6 + 3 * i] = uint8_t(int8_t(e.points[i].second));
        Put(b, at + 7 + 3 * i, e.points[i].first, 2);
    }
}

// IT 2.14 compression with the code width never changed (9 or 17 bits): each code is the
// difference to the previous value, in blocks of 32 KiB of output.
Bytes CompressIt(const SampleDesc& s) {
    const Bytes pcm = Pcm(s);
    const int width = s.bits16 ? 17 : 9, blockFrames = s.bits16 ? 0x4000 : 0x8000;
    Bytes out;
    for (int from = 0; from < s.frames; from += blockFrames) {
        Bytes bits;
        uint64_t acc = 0;
        int have = 0, previous = 0;
        for (int i = from; i < std::min(s.frames, from + blockFrames); ++i) {
            const int v = s.bits16 ? int16_t(pcm[2 * i] | pcm[2 * i + 1] << 8) : int8_t(pcm[i]);
            acc |= uint64_t((v - previous) & ((1 << (width - 1)) - 1)) << have;
            previous = v;
            for (have += width; have >= 8; have -= 8, acc >>= 8) bits.push_back(uint8_t(acc));
        }
        if (have) bits.push_back(uint8_t(acc));
        Put(out, out.size(), uint32_t(bits.size()), 2);
        out.insert(out.end(), bits.begin(), bits.end());
    }
    return out;
}

Bytes WriteIt(const SongDesc& song) {
    std::vector<int> orders = song.orders;
    orders.push_back(255);
    const std::vector<InstrumentDesc> instruments = song.instrumentMode ? Instruments(song) : std::vector<InstrumentDesc>();
    const int ins = int(instruments.size()), smp = int(song.samples.size()), pat = PatternCount(song);
    Bytes b(192);
    PutText(b, 0, "IMPMwriter test", 30);
    Put(b, 32, uint32_t(orders.size()), 2);
    Put(b, 34, ins, 2);
    Put(b, 36, smp, 2);
    Put(b, 38, pat, 2);
    Put(b, 40, 0x0214, 2);
    Put(b, 42, 0x0214, 2);
    Put(b, 44, 1 | (song.instrumentMode ? 4 : 0) | (song.linear ? 8 : 0) | song.extraFlags, 2);
    b[48] = 128;
    b[49] = 48;
    b[50] = uint8_t(song.speed);
    b[51] = uint8_t(song.tempo);
    b[52] = 128;
    for (int ch = 0; ch < 64; ++ch) {
        b[64 + ch] = uint8_t(ch < song.channels ? (ch % 2 ? 48 : 16) : 32 | 128);
        b[128 + ch] = 64;
    }
    for (int o : orders) b.push_back(uint8_t(o));
    const size_t pointers = b.size();
    b.resize(pointers + 4 * (ins + smp + pat));
    for (int i = 0; i < ins; ++i) {
        const InstrumentDesc& d = instruments[i];
        Put(b, pointers + 4 * i, uint32_t(b.size()), 4);
        const size_t at = b.size();
        b.resize(at + 554);
        PutText(b, at, "IMPI", 4);
        b[at + 17] = uint8_t(d.nna);
        b[at + 18] = uint8_t(d.dct);
        b[at + 19] = uint8_t(d.dca);
        Put(b, at + 20, d.fadeout, 2);
        b[at + 23] = 60;
        b[at + 24] = 128;
        b[at + 25] = 32 | 128;
        Put(b, at + 28, 0x0214, 2);
        b[at + 30] = 1;
        PutText(b, at + 32, "instrument", 26);
        b[at + 58] = uint8_t(d.cutoff >= 0 ? 0x80 | d.cutoff : 0);
        b[at + 59] = uint8_t(d.resonance >= 0 ? 0x80 | d.resonance : 0);
        for (int n = 0; n < 120; ++n) {
            b[at + 64 + 2 * n] = uint8_t(n);
            b[at + 65 + 2 * n] = uint8_t(d.sample);
        }
        PutItEnvelope(b, at + 304, d.volume);
        PutItEnvelope(b, at + 386, d.pan);
        PutItEnvelope(b, at + 468, d.pitch);
    }
    std::vector<size_t> sampleHeaders;
    for (int i = 0; i < smp; ++i) {
        const SampleDesc& s = song.samples[i];
        Put(b, pointers + 4 * (ins + i), uint32_t(b.size()), 4);
        const size_t at = b.size();
        sampleHeaders.push_back(at);
        b.resize(at + 80);
        PutText(b, at, "IMPS", 4);
        b[at + 17] = 64;
        b[at + 18] = uint8_t(1 | (s.bits16 ? 2 : 0) | (s.compressed ? 8 : 0) | (s.loop ? 16 : 0) | (s.loop == 2 ? 64 : 0) |
                            (s.sustainEnd > s.sustainStart ? 32 : 0));
        b[at + 19] = uint8_t(s.volume);
        PutText(b, at + 20, "sample", 26);
        b[at + 46] = 1;
        b[at + 47] = 32;
        Put(b, at + 48, s.frames, 4);
        Put(b, at + 52, s.loopStart, 4);
        Put(b, at + 56, LoopEnd(s), 4);
        Put(b, at + 60, s.c5Speed, 4);
        Put(b, at + 64, s.sustainStart, 4);
        Put(b, at + 68, s.sustainEnd, 4);
        for (int k = 0; k < 4; ++k) b[at + 76 + k] = uint8_t(s.vibrato[k]);
    }
    for (int p = 0; p < pat; ++p) {
        Put(b, pointers + 4 * (ins + smp + p), uint32_t(b.size()), 4);
        const size_t at = b.size();
        b.resize(at + 8);
        Put(b, at + 2, kRows, 2);
        const std::vector<Cell> cells = ParsePattern(song, p);
        for (int r = 0; r < kRows; ++r) {
            for (int ch = 0; ch < song.channels; ++ch) {
                const Cell& c = cells[r * song.channels + ch];
                const int mask = (c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume >= 0 ? 4 : 0) | (c.effect ? 8 : 0);
                if (!mask) continue;
                b.push_back(uint8_t((ch + 1) | 0x80));
                b.push_back(uint8_t(mask));
                if (mask & 1) b.push_back(uint8_t(c.note > 0 ? c.note - 1 : c.note == -1 ? 255 : c.note == -2 ? 254 : 246));
                if (mask & 2) b.push_back(uint8_t(c.instrument));
                if (mask & 4) b.push_back(uint8_t(c.volume));
                if (mask & 8) {
                    b.push_back(uint8_t(c.effect - 'A' + 1));
                    b.push_back(uint8_t(c.param));
                }
            }
            b.push_back(0);
        }
        Put(b, at, uint32_t(b.size() - at - 8), 2);
    }
    for (int i = 0; i < smp; ++i) {
        Put(b, sampleHeaders[i] + 72, uint32_t(b.size()), 4);
        const Bytes data = song.samples[i].compressed ? CompressIt(song.samples[i]) : Pcm(song.samples[i]);
        b.insert(b.end(), data.begin(), data.end());
    }
    return b;
}

}  // namespace

std::vector<uint8_t> WriteModule(const SongDesc& song) {
    switch (song.format) {
    case Format::Mod: return WriteMod(song);
    case Format::S3m: return WriteS3m(song);
    case Format::Xm: return WriteXm(song);
    case Format::It: return WriteIt(song);
    }
    return {};
}

}  // namespace trackref
