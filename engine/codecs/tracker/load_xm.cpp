// XM: a header and order list, packed patterns, then instruments, each with its sample
// headers and delta-coded sample data.
#include <algorithm>
#include <cmath>

#include "bytes.h"
#include "effects.h"
#include "sample_data.h"
#include "tracker/load.h"

namespace tracker {
namespace {

constexpr int kMaxChannels = 64;
constexpr int kMaxOrders = 256;
constexpr int kMaxPatterns = 256;
constexpr int kMaxRows = 256;
constexpr int kMaxInstruments = 256;
constexpr int kMaxSamplesPerInstrument = 32;  // the tracker writes at most 16
constexpr int kMaxEnvelopePoints = 12;
constexpr uint8_t kXmKeyOff = 97;
constexpr int kNoteOffset = 12;  // the tracker's C-4 is our C-5
constexpr size_t kSampleHeaderBytes = 40;
constexpr uint8_t kModPlugAdpcm = 0xAD;

Cell ReadCell(const Bytes& in, size_t& at) {
    uint8_t what = in.U8(at++);
    uint8_t note = 0;
    if (!(what & 0x80)) {
        note = what;
        what = 0x1E;  // the other four fields follow
    } else if (what & 0x01) {
        note = in.U8(at++);
    }
    Cell cell;
    if (note >= 1 && note < kXmKeyOff) cell.note = static_cast<uint8_t>(note + kNoteOffset);
    else if (note == kXmKeyOff) cell.note = kNoteOff;
    if (what & 0x02) cell.instrument = in.U8(at++);
    if (what & 0x04) {
        const VolumeColumn v = XmVolumeColumn(in.U8(at++));
        cell.volumeCommand = v.command;
        cell.volumeParam = v.param;
    }
    const uint8_t command = (what & 0x08) ? in.U8(at++) : 0;
    const uint8_t param = (what & 0x10) ? in.U8(at++) : 0;
    cell.effect = XmEffect(command, param);
    cell.effectParam = param;
    return cell;
}

// Returns where the next pattern starts.
size_t ReadPattern(const Bytes& in, size_t at, int channels, Pattern& p) {
    const uint32_t headerBytes = in.U32le(at);
    int rows = in.U16le(at + 5);
    const uint16_t packedBytes = in.U16le(at + 7);
    if (rows == 0 || rows > kMaxRows) rows = 64;
    p.rows = rows;
    p.cells.resize(size_t(rows) * channels);
    const size_t dataAt = at + std::max<uint32_t>(headerBytes, 9);
    const size_t end = dataAt + std::min<size_t>(packedBytes, in.Left(dataAt));
    if (packedBytes == 0) return dataAt;
    size_t pos = dataAt;
    for (size_t i = 0; i < p.cells.size() && pos < end; ++i) p.cells[i] = ReadCell(in, pos);
    return end;
}

void ReadEnvelope(const Bytes& in, size_t at, uint8_t count, uint8_t sustain, uint8_t loopStart, uint8_t loopEnd,
                  uint8_t flags, bool panning, Envelope& e) {
    const int points = std::min<int>(count, kMaxEnvelopePoints);
    uint16_t tick = 0;
    for (int i = 0; i < points; ++i) {
        tick = std::max(tick, in.U16le(at + size_t(i) * 4));
        const int value = std::min<int>(in.U16le(at + size_t(i) * 4 + 2), 64);
        e.points.push_back({tick, static_cast<int8_t>(panning ? value - 32 : value)});
    }
    e.enabled = (flags & 1) && points > 0;
    e.sustain = (flags & 2) && sustain < points;
    e.loop = (flags & 4) && loopStart <= loopEnd && loopEnd < points;
    e.sustainStart = e.sustainEnd = e.sustain ? sustain : 0;
    e.loopStart = e.loop ? loopStart : 0;
    e.loopEnd = e.loop ? loopEnd : 0;
}

struct SampleHeader {
    uint32_t bytes = 0;
    bool sixteenBit = false;
    bool stereo = false;
    bool adpcm = false;
};

SampleHeader ReadSampleHeader(const Bytes& in, size_t at, Sample& s) {
    SampleHeader h;
    h.bytes = in.U32le(at);
    const uint32_t loopStart = in.U32le(at + 4), loopLength = in.U32le(at + 8);
    s.volume = std::min<uint8_t>(in.U8(at + 12), 64);
    s.finetune = static_cast<int8_t>(in.U8(at + 13));
    const uint8_t type = in.U8(at + 14);
    s.pan = static_cast<int16_t>(std::lround(in.U8(at + 15) * 256.0 / 255.0));
    s.relativeNote = static_cast<int8_t>(in.U8(at + 16));
    h.adpcm = in.U8(at + 17) == kModPlugAdpcm;
    s.name = TextField(in, at + 18, 22);
    h.sixteenBit = (type & 0x10) != 0;
    h.stereo = (type & 0x20) != 0;
    const uint32_t unit = (h.sixteenBit ? 2u : 1u) * (h.stereo ? 2u : 1u);
    const LoopType loopType = (type & 3) == 1 ? LoopType::Forward : (type & 3) >= 2 ? LoopType::PingPong : LoopType::None;
    if (loopType != LoopType::None && loopLength > 0)
        s.loop = Loop{loopType, loopStart / unit, static_cast<uint32_t>((uint64_t(loopStart) + loopLength) / unit)};
    s.c5Speed = static_cast<uint32_t>(std::lround(8363.0 * std::pow(2.0, (s.relativeNote * 128 + s.finetune) / 1536.0)));
    return h;
}

// ModPlug's 4-bit ADPCM: 16 signed steps, then two deltas a byte, low nibble first.
uint64_t ReadAdpcm(const Bytes& in, size_t at, uint32_t frames, PcmBudget& budget, Sample& s) {
    const size_t stored = 16 + (size_t(frames) + 1) / 2;
    const uint32_t got = budget.Take(std::min<uint64_t>(frames, in.Left(at + 16) * 2), 1);
    s.pcm.assign(got, 0.0f);
    s.frames = got;
    int8_t value = 0;
    for (uint32_t i = 0; i < got; ++i) {
        const uint8_t b = in.U8(at + 16 + i / 2);
        value = static_cast<int8_t>(value + static_cast<int8_t>(in.U8(at + ((i & 1) ? b >> 4 : b & 0x0F))));
        s.pcm[i] = value * (1.0f / 128.0f);
    }
    return stored;
}

// One instrument with its samples; returns where the next one starts.
size_t ReadInstrument(const Bytes& in, size_t at, PcmBudget& budget, Module& m, Instrument& ins) {
    const uint32_t headerBytes = std::max<uint32_t>(in.U32le(at), 29);
    ins.name = TextField(in, at + 4, 22);
    const int samples = std::min<int>(in.U16le(at + 27), kMaxSamplesPerInstrument);
    size_t next = at + headerBytes;
    if (samples == 0 || !in.Has(at, 29)) return next;
    const uint32_t sampleHeaderBytes = in.U32le(at + 29) ? in.U32le(at + 29) : kSampleHeaderBytes;
    const size_t firstSample = m.samples.size();
    for (int k = 0; k < kNoteMax; ++k) {
        const int xmNote = std::clamp(k - kNoteOffset, 0, 95);
        const uint8_t local = in.U8(at + 33 + size_t(xmNote));
        ins.keyboardNote[k] = static_cast<uint8_t>(k + 1);
        ins.keyboardSample[k] = local < samples ? static_cast<uint8_t>(std::min<size_t>(firstSample + local + 1, 255)) : 0;
    }
    ReadEnvelope(in, at + 129, in.U8(at + 225), in.U8(at + 227), in.U8(at + 228), in.U8(at + 229), in.U8(at + 233),
                 false, ins.volumeEnvelope);
    ReadEnvelope(in, at + 177, in.U8(at + 226), in.U8(at + 230), in.U8(at + 231), in.U8(at + 232), in.U8(at + 234),
                 true, ins.panEnvelope);
    static const VibratoWave kWaves[4] = {VibratoWave::Sine, VibratoWave::Square, VibratoWave::RampDown,
                                          VibratoWave::RampUp};
    const VibratoWave wave = kWaves[in.U8(at + 235) & 3];
    ins.fadeout = std::min<uint16_t>(in.U16le(at + 239), 32767);

    std::vector<SampleHeader> headers;
    for (int i = 0; i < samples; ++i, next += sampleHeaderBytes) {
        Sample s;
        headers.push_back(ReadSampleHeader(in, next, s));
        s.vibratoWave = wave;
        s.vibratoSweep = in.U8(at + 236);
        s.vibratoDepth = in.U8(at + 237);
        s.vibratoRate = in.U8(at + 238);
        m.samples.push_back(std::move(s));
    }
    for (int i = 0; i < samples; ++i) {
        const SampleHeader& h = headers[size_t(i)];
        Sample& s = m.samples[firstSample + size_t(i)];
        const uint32_t unit = (h.sixteenBit ? 2u : 1u) * (h.stereo ? 2u : 1u);
        PcmLayout layout;
        layout.sixteenBit = h.sixteenBit;
        layout.stereo = h.stereo;
        layout.delta = true;
        const uint64_t stored = h.adpcm && !h.sixteenBit && !h.stereo ? ReadAdpcm(in, next, h.bytes, budget, s)
                                                                      : ReadPcm(in, next, h.bytes / unit, layout, budget, s);
        next = static_cast<size_t>(std::min<uint64_t>(next + stored, in.size + uint64_t(1)));
        FitLoop(s.loop, s.frames);
    }
    return next;
}

}  // namespace

LoadResult LoadXm(const uint8_t* data, size_t size, Module& out) {
    const Bytes in{data, size};
    if (!in.Matches(0, "Extended Module: ", 17)) return LoadResult::NotModule;
    Module m;
    m.type = ModuleType::Xm;
    m.title = TextField(in, 17, 20);
    m.trackerVersion = in.U16le(58);
    const uint32_t headerBytes = in.U32le(60);
    const int songLength = std::min<int>(in.U16le(64), kMaxOrders);
    const uint16_t restart = in.U16le(66);
    m.channels = in.U16le(68);
    const int patterns = std::min<int>(in.U16le(70), kMaxPatterns);
    const int instruments = std::min<int>(in.U16le(72), kMaxInstruments);
    m.linearSlides = (in.U16le(74) & 1) != 0;
    m.initialSpeed = static_cast<uint8_t>(std::clamp<int>(in.U16le(76), 1, 255));
    m.initialTempo = static_cast<uint8_t>(std::clamp<int>(in.U16le(78), 32, 255));
    if (m.channels < 1 || m.channels > kMaxChannels || !in.Has(80, 1)) return LoadResult::Damaged;
    for (int i = 0; i < songLength && in.Has(80 + size_t(i), 1); ++i) m.orders.push_back(in.U8(80 + size_t(i)));
    m.restartOrder = restart < songLength ? restart : 0;
    for (int c = 0; c < m.channels; ++c) {
        m.channelPan.push_back(128);
        m.channelVolume.push_back(64);
        m.channelMuted.push_back(false);
    }

    size_t at = 60 + size_t(headerBytes);
    for (int i = 0; i < patterns; ++i) {
        Pattern p;
        at = in.Has(at, 9) ? ReadPattern(in, at, m.channels, p) : in.size;
        if (p.rows == 0) {
            p.rows = 64;
            p.cells.resize(size_t(64) * m.channels);
        }
        m.patterns.push_back(std::move(p));
    }
    PcmBudget budget(size);
    for (int i = 0; i < instruments && at < in.size; ++i) {
        Instrument ins;
        at = ReadInstrument(in, at, budget, m, ins);
        m.instruments.push_back(std::move(ins));
    }
    if (m.patterns.empty() && m.samples.empty()) return LoadResult::Damaged;
    out = std::move(m);
    return LoadResult::Ok;
}

}  // namespace tracker
