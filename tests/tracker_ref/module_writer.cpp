#include "module_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace trackref {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kRows = 64;

struct Cell {
    int note = 0, instrument = 0, volume = -1, param = 0;  // note 1 = C-0 .. 120; -1 off, -2 cut, -3 fade
    char effect = 0;
};

int Hex(const std::string& s, size_t at, int digits) {  // -1 unless all `digits` are hex
    const std::string field = s.size() >= at + digits ? s.substr(at, digits) : ".";
    return std::all_of(field.begin(), field.end(), [](char c) { return std::isxdigit(uint8_t(c)); }) ? std::stoi(field, nullptr, 16) : -1;
}

Cell ParseCell(const std::string& s) {
    static const std::string names = "C-C#D-D#E-F-F#G-G#A-A#B-";
    Cell c;
    const std::string note = s.substr(0, 3);
    const size_t name = names.find(note.substr(0, 2));
    c.note = note == "===" ? -1 : note == "^^^" ? -2 : note == "~~~" ? -3 : 0;
    if (note.size() == 3 && name % 2 == 0 && std::isdigit(uint8_t(note[2]))) c.note = (note[2] - '0') * 12 + int(name / 2) + 1;
    if (s.size() > 5 && std::isdigit(uint8_t(s[4]))) c.instrument = std::stoi(s.substr(4, 2));
    c.volume = Hex(s, 7, 2);
    if (s.size() > 10 && std::isalnum(uint8_t(s[10]))) c.effect = char(std::toupper(s[10])), c.param = std::max(0, Hex(s, 11, 2));
    return c;
}

// Pattern p as rows x channels cells.
std::vector<Cell> ParsePattern(const SongDesc& song, size_t p) {
    std::vector<Cell> cells(kRows * song.channels);
    std::vector<std::string> rows;
    for (const std::string& row : song.patterns[p]) {
        const size_t star = row.find('*');
        const bool repeated = star != std::string::npos && star < 3 && std::isdigit(uint8_t(row[0]));
        rows.insert(rows.end(), repeated ? std::stoi(row) : 1, repeated ? row.substr(star + 1) : row);
    }
    for (size_t r = 0; r < rows.size() && r < kRows; ++r) {
        for (size_t ch = 0, from = 0; ch < size_t(song.channels) && from <= rows[r].size(); ++ch) {
            const size_t to = std::min(rows[r].find('|', from), rows[r].size());
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
        seed = seed * 1103515245 + 12345;
        out[i] = s.wave == Wave::Sine  ? float(0.8 * rise * std::sin(2 * M_PI * phase))
                 : s.wave == Wave::Saw ? float((1.4 * phase - 0.7) * rise)
                                       : float(int(seed >> 16 & 0xFFFF) - 32768) / 50000;
    }
    return out;
}

void Put(Bytes& b, size_t at, uint32_t v, int bytes, bool bigEndian = false) {
    if (b.size() < at + bytes) b.resize(at + bytes);
    for (int i = 0; i < bytes; ++i) b[at + (bigEndian ? bytes - 1 - i : i)] = uint8_t(v >> (8 * i));
}
struct Field { size_t at; int bytes; uint32_t value; };  // a header field: offset, width, value
void PutFields(Bytes& b, size_t base, std::initializer_list<Field> fields) {
    for (const Field& f : fields) Put(b, base + f.at, f.value, f.bytes);
}
void PutText(Bytes& b, size_t at, const std::string& s, size_t room) {
    if (b.size() < at + room) b.resize(at + room);
    std::memcpy(&b[at], s.data(), std::min(room, s.size()));
}
void Align16(Bytes& b) { b.resize((b.size() + 15) & ~size_t(15)); }
void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

// Signed PCM; `unsignedData` adds the offset S3M wants, `delta` stores differences (XM).
Bytes Pcm(const SampleDesc& s, bool unsignedData = false, bool delta = false) {
    Bytes out;
    int previous = 0;
    for (float f : Waveform(s)) {
        const int v = int(std::lround(f * (s.bits16 ? 32767 : 127))), offset = unsignedData ? (s.bits16 ? 0x8000 : 0x80) : 0;
        Put(out, out.size(), uint32_t((delta ? v - previous : v) + offset), s.bits16 ? 2 : 1);
        previous = v;
    }
    return out;
}

int LoopEnd(const SampleDesc& s) { return s.loopEnd ? s.loopEnd : s.frames; }

std::vector<InstrumentDesc> Instruments(const SongDesc& song) {
    std::vector<InstrumentDesc> plain(song.samples.size());
    for (size_t i = 0; i < plain.size(); ++i) plain[i].sample = int(i + 1);
    return song.instruments.empty() ? plain : song.instruments;
}

Bytes WriteMod(const SongDesc& song) {
    static const int periods[36] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
                                    428, 404, 381, 360, 340, 320, 302, 285, 269, 254, 240, 226,
                                    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};
    Bytes b(1084);
    PutText(b, 0, "writer test", 20);
    for (size_t i = 0; i < song.samples.size(); ++i) {
        const SampleDesc& s = song.samples[i];
        PutText(b, 20 + 30 * i, "sample", 22);
        const uint32_t finetune = uint32_t(std::lround(96 * std::log2(s.c5Speed / 8363.0))) & 15;  // eighths of a semitone
        for (const Field& f : {Field{22, 2, uint32_t(s.frames / 2)}, Field{24, 1, finetune}, Field{25, 1, 64}, Field{26, 2, uint32_t(s.loop ? s.loopStart / 2 : 0)},
                               Field{28, 2, uint32_t(s.loop ? (LoopEnd(s) - s.loopStart) / 2 : 1)}})
            Put(b, 20 + 30 * i + f.at, f.value, f.bytes, true);
    }
    PutFields(b, 0, {{950, 1, uint32_t(song.orders.size())}, {951, 1, 127}});
    std::copy(song.orders.begin(), song.orders.end(), &b[952]);
    PutText(b, 1080, song.channels == 4 ? "M.K." : std::to_string(song.channels) + "CHN", 4);
    for (int p = 0; p < int(song.patterns.size()); ++p) {
        for (const Cell& c : ParsePattern(song, p)) {
            const int period = c.note > 0 ? periods[std::clamp(c.note - 49, 0, 35)] : 0;
            const int effect = c.effect ? std::max(Hex(std::string(1, c.effect), 0, 1), 0) : 0;
            Append(b, {uint8_t((c.instrument & 0x10) | period >> 8), uint8_t(period), uint8_t((c.instrument & 15) << 4 | effect), uint8_t(c.param)});
        }
    }
    for (const SampleDesc& s : song.samples) {
        const Bytes pcm = Pcm(s);
        b.insert(b.end(), pcm.begin(), pcm.begin() + (s.frames & ~1));
    }
    return b;
}

// S3M and IT pack a row as channel bytes with a mask of the fields that follow.
void PackRow(Bytes& b, const Cell& c, int ch, bool it) {
    const int mask = it ? (c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume >= 0 ? 4 : 0) | (c.effect ? 8 : 0)
                        : (c.note || c.instrument ? 0x20 : 0) | (c.volume >= 0 ? 0x40 : 0) | (c.effect ? 0x80 : 0);
    if (!mask) return;
    if (it) Append(b, {uint8_t((ch + 1) | 0x80), uint8_t(mask)});
    else b.push_back(uint8_t(ch | mask));
    if (it && (mask & 1)) b.push_back(uint8_t(c.note > 0 ? c.note - 1 : c.note == -1 ? 255 : c.note == -2 ? 254 : 246));
    if (!it && (mask & 0x20))
        b.push_back(uint8_t(c.note > 0 ? ((c.note - 1) / 12 - 1) << 4 | (c.note - 1) % 12 : c.note == -2 ? 254 : 255));
    if (mask & (it ? 2 : 0x20)) b.push_back(uint8_t(c.instrument));
    if (mask & (it ? 4 : 0x40)) b.push_back(uint8_t(c.volume));
    if (mask & (it ? 8 : 0x80)) Append(b, {uint8_t(c.effect - 'A' + 1), uint8_t(c.param)});
}

void PackPattern(Bytes& b, const SongDesc& song, int p, bool it) {
    const std::vector<Cell> cells = ParsePattern(song, p);
    for (int r = 0; r < kRows; ++r) {
        for (int ch = 0; ch < song.channels; ++ch) PackRow(b, cells[r * song.channels + ch], ch, it);
        b.push_back(0);
    }
}

Bytes WriteS3m(const SongDesc& song) {
    std::vector<int> orders = song.orders;
    if (orders.size() % 2) orders.push_back(255);
    const int patterns = int(song.patterns.size()), samples = int(song.samples.size());
    Bytes b(96);
    PutText(b, 0, "writer test", 28);
    PutText(b, 44, "SCRM", 4);
    PutFields(b, 0, {{28, 1, 0x1A}, {29, 1, 16}, {32, 2, uint32_t(orders.size())}, {34, 2, uint32_t(samples)},
                     {36, 2, uint32_t(patterns)}, {40, 2, 0x1320}, {42, 2, 2}, {48, 1, 64}, {49, 1, 6}, {50, 1, 125}, {51, 1, 0x80 | 48}});
    for (int ch = 0; ch < 32; ++ch) b[64 + ch] = ch < song.channels ? uint8_t(ch % 2 ? 8 + ch / 2 : ch / 2) : 255;
    b.insert(b.end(), orders.begin(), orders.end());
    const size_t pointers = b.size();
    b.resize(b.size() + 2 * (samples + patterns));
    Align16(b);
    std::vector<size_t> headers;
    for (int i = 0; i < samples; ++i) {
        const SampleDesc& s = song.samples[i];
        Put(b, pointers + 2 * i, uint32_t(b.size() / 16), 2);
        headers.push_back(b.size());
        PutText(b, b.size() + 48, "sample", 28);
        PutText(b, headers[i] + 76, "SCRS", 4);
        PutFields(b, headers[i], {{0, 1, 1}, {16, 4, uint32_t(s.frames)}, {20, 4, uint32_t(s.loopStart)}, {24, 4, uint32_t(LoopEnd(s))},
                                  {28, 1, 64}, {31, 1, uint32_t((s.loop ? 1 : 0) | (s.bits16 ? 4 : 0))}, {32, 4, uint32_t(s.c5Speed)}});
    }
    for (int p = 0; p < patterns; ++p) {
        Put(b, pointers + 2 * (samples + p), uint32_t(b.size() / 16), 2);
        const size_t start = b.size();
        b.resize(start + 2);
        PackPattern(b, song, p, false);
        Put(b, start, uint32_t(b.size() - start), 2);
        Align16(b);
    }
    for (int i = 0; i < samples; ++i) {
        const uint32_t para = uint32_t(b.size() / 16);
        PutFields(b, headers[i], {{13, 1, para >> 16}, {14, 2, para & 0xFFFF}});
        Append(b, Pcm(song.samples[i], true));
        Align16(b);
    }
    return b;
}

// Envelope `pan` 0 (volume) or 1 (panning) of the XM instrument header at `at`.
void PutXmEnvelope(Bytes& b, size_t at, const EnvelopeDesc& e, int pan) {
    for (size_t i = 0; i < e.points.size(); ++i)
        PutFields(b, at + 129 + 48 * pan + 4 * i, {{0, 2, uint32_t(e.points[i].first)}, {2, 2, uint32_t(e.points[i].second + 32 * pan)}});
    PutFields(b, at, {{225u + pan, 1, uint32_t(e.points.size())}, {227u + 3 * pan, 1, uint32_t(std::max(e.sustain, 0))},
                      {228u + 3 * pan, 1, uint32_t(std::max(e.loopStart, 0))}, {229u + 3 * pan, 1, uint32_t(std::max(e.loopEnd, 0))},
                      {233u + pan, 1, uint32_t((e.points.empty() ? 0 : 1) | (e.sustain >= 0 ? 2 : 0) | (e.loopStart >= 0 ? 4 : 0))}});
}

Bytes WriteXm(const SongDesc& song) {
    const std::vector<InstrumentDesc> instruments = Instruments(song);
    const int patterns = int(song.patterns.size());
    Bytes b;
    PutText(b, 0, "Extended Module: writer test", 37);
    PutText(b, 38, "writer", 20);
    PutFields(b, 0, {{37, 1, 0x1A}, {58, 2, 0x0104}, {60, 4, 276}, {64, 2, uint32_t(song.orders.size())}, {68, 2, uint32_t(song.channels)},
                     {70, 2, uint32_t(patterns)}, {72, 2, uint32_t(instruments.size())}, {74, 2, song.linear}, {76, 2, 6}, {78, 2, 125}});
    b.resize(336);
    std::copy(song.orders.begin(), song.orders.end(), &b[80]);
    for (int p = 0; p < patterns; ++p) {
        const std::vector<Cell> cells = ParsePattern(song, p);
        PutFields(b, b.size(), {{0, 4, 9}, {5, 2, kRows}, {7, 2, uint32_t(cells.size() * 5)}});
        for (const Cell& c : cells) {
            const int effect = c.effect ? (std::isdigit(uint8_t(c.effect)) ? c.effect - '0' : c.effect - 'A' + 10) : 0;
            Append(b, {uint8_t(c.note > 0 ? c.note - 12 : c.note == -1 ? 97 : 0), uint8_t(c.instrument),
                       uint8_t(std::max(c.volume, 0)), uint8_t(effect), uint8_t(c.param)});
        }
    }
    for (const InstrumentDesc& ins : instruments) {
        const SampleDesc& s = song.samples[ins.sample - 1];
        const size_t at = b.size();
        PutText(b, at + 4, "instrument", 22);
        PutFields(b, at, {{0, 4, 263}, {27, 2, 1}, {29, 4, 40}, {239, 2, uint32_t(ins.fadeout)}});
        PutXmEnvelope(b, at, ins.volume, 0);
        PutXmEnvelope(b, at, ins.pan, 1);
        std::copy(ins.vibrato, ins.vibrato + 4, &b[at + 235]);
        b.resize(at + 263);
        const double semitones = 12 * std::log2(s.c5Speed / 8363.0);
        const int relative = int(std::floor(semitones)), width = s.bits16 ? 2 : 1;
        PutText(b, at + 263 + 18, "sample", 22);
        PutFields(b, at + 263, {{0, 4, uint32_t(s.frames * width)}, {4, 4, uint32_t(s.loop ? s.loopStart * width : 0)},
                                {8, 4, uint32_t(s.loop ? (LoopEnd(s) - s.loopStart) * width : 0)}, {12, 1, 64},
                                {13, 1, uint8_t(int8_t(std::lround((semitones - relative) * 128)))},
                                {14, 1, uint32_t(s.loop | (s.bits16 ? 16 : 0))}, {15, 1, 128}, {16, 1, uint8_t(int8_t(relative))}});
        Append(b, Pcm(s, false, true));
    }
    return b;
}

void PutItEnvelope(Bytes& b, size_t at, const EnvelopeDesc& e) {
    const int sustain = std::max(e.sustain, 0);
    PutFields(b, at, {{0, 1, uint32_t((e.points.empty() ? 0 : 1) | (e.loopStart >= 0 ? 2 : 0) | (e.sustain >= 0 ? 4 : 0) | (e.carry ? 8 : 0) | (e.filter ? 128 : 0))},
                      {1, 1, uint32_t(e.points.size())}, {2, 1, uint32_t(std::max(e.loopStart, 0))}, {3, 1, uint32_t(std::max(e.loopEnd, 0))},
                      {4, 1, uint32_t(sustain)}, {5, 1, uint32_t(sustain)}});
    for (size_t i = 0; i < e.points.size(); ++i)
        PutFields(b, at + 3 * i, {{6, 1, uint8_t(int8_t(e.points[i].second))}, {7, 2, uint32_t(e.points[i].first)}});
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
        Append(out, bits);
    }
    return out;
}

Bytes WriteIt(const SongDesc& song) {
    std::vector<int> orders = song.orders;
    orders.push_back(255);
    const std::vector<InstrumentDesc> instruments = song.instrumentMode ? Instruments(song) : std::vector<InstrumentDesc>();
    const uint32_t ins = uint32_t(instruments.size()), smp = uint32_t(song.samples.size()), pat = uint32_t(song.patterns.size());
    Bytes b(192);
    PutText(b, 0, "IMPMwriter test", 30);
    PutFields(b, 0, {{32, 2, uint32_t(orders.size())}, {34, 2, ins}, {36, 2, smp}, {38, 2, pat}, {40, 2, 0x0214}, {42, 2, 0x0214},
                     {44, 2, uint32_t(1 | (song.instrumentMode ? 4 : 0) | (song.linear ? 8 : 0) | song.extraFlags)},
                     {48, 1, 128}, {49, 1, 48}, {50, 1, 6}, {51, 1, 125}, {52, 1, 128}});
    for (int ch = 0; ch < 64; ++ch) b[64 + ch] = uint8_t(ch < song.channels ? (ch % 2 ? 48 : 16) : 32 | 128), b[128 + ch] = 64;
    b.insert(b.end(), orders.begin(), orders.end());
    const size_t pointers = b.size();
    b.resize(pointers + 4 * (ins + smp + pat));
    for (uint32_t i = 0; i < ins; ++i) {
        const InstrumentDesc& d = instruments[i];
        const size_t at = b.size();
        Put(b, pointers + 4 * i, uint32_t(at), 4);
        b.resize(at + 554);
        PutText(b, at, "IMPI", 4);
        PutText(b, at + 32, "instrument", 26);
        PutFields(b, at, {{17, 1, uint32_t(d.nna)}, {18, 1, uint32_t(d.dct)}, {19, 1, uint32_t(d.dca)}, {20, 2, uint32_t(d.fadeout)},
                          {23, 1, 60}, {24, 1, 128}, {25, 1, 32 | 128}, {28, 2, 0x0214}, {30, 1, 1},
                          {58, 1, uint32_t(d.cutoff >= 0 ? 0x80 | d.cutoff : 0)}, {59, 1, uint32_t(d.resonance >= 0 ? 0x80 | d.resonance : 0)}});
        for (int n = 0; n < 120; ++n) b[at + 64 + 2 * n] = uint8_t(n), b[at + 65 + 2 * n] = uint8_t(d.sample);
        for (const EnvelopeDesc* e : {&d.volume, &d.pan, &d.pitch}) PutItEnvelope(b, at + 304 + 82 * (e - &d.volume), *e);
    }
    std::vector<size_t> headers;
    for (uint32_t i = 0; i < smp; ++i) {
        const SampleDesc& s = song.samples[i];
        headers.push_back(b.size());
        Put(b, pointers + 4 * (ins + i), uint32_t(headers[i]), 4);
        b.resize(headers[i] + 80);
        PutText(b, headers[i], "IMPS", 4);
        PutText(b, headers[i] + 20, "sample", 26);
        const int flags = 1 | (s.bits16 ? 2 : 0) | (s.compressed ? 8 : 0) | (s.loop ? 16 : 0) | (s.loop == 2 ? 64 : 0) |
                          (s.sustainEnd > s.sustainStart ? 32 : 0);
        PutFields(b, headers[i], {{17, 1, 64}, {18, 1, uint32_t(flags)}, {19, 1, 64}, {46, 1, 1}, {47, 1, 32}, {48, 4, uint32_t(s.frames)},
                                  {52, 4, uint32_t(s.loopStart)}, {56, 4, uint32_t(LoopEnd(s))}, {60, 4, uint32_t(s.c5Speed)},
                                  {64, 4, uint32_t(s.sustainStart)}, {68, 4, uint32_t(s.sustainEnd)}});
        std::copy(s.vibrato, s.vibrato + 4, &b[headers[i] + 76]);
    }
    for (uint32_t p = 0; p < pat; ++p) {
        const size_t at = b.size();
        Put(b, pointers + 4 * (ins + smp + p), uint32_t(at), 4);
        PutFields(b, at, {{2, 2, kRows}, {4, 4, 0}});
        PackPattern(b, song, int(p), true);
        Put(b, at, uint32_t(b.size() - at - 8), 2);
    }
    for (uint32_t i = 0; i < smp; ++i) {
        Put(b, headers[i] + 72, uint32_t(b.size()), 4);
        Append(b, song.samples[i].compressed ? CompressIt(song.samples[i]) : Pcm(song.samples[i]));
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
