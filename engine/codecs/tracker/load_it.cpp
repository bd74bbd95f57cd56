// IT: a header with channel pans and volumes, the order list and offsets of instruments,
// samples and packed patterns, and an optional song message.
#include <algorithm>

#include "bytes.h"
#include "effects.h"
#include "it_compression.h"
#include "it_instrument.h"
#include "sample_data.h"
#include "tracker/load.h"

namespace tracker {
namespace {

constexpr int kMaxOrders = 256;
constexpr int kMaxInstruments = 256;  // the tracker stops at 99
constexpr int kMaxSamples = 4000;
constexpr int kMaxPatterns = 256;
constexpr int kMaxRows = 256;
constexpr int kChannels = 64;
constexpr int kSurround = 100;

void ReadHeader(const Bytes& in, Module& m) {
    m.title = TextField(in, 4, 26);
    m.trackerVersion = in.U16le(40);
    const uint16_t flags = in.U16le(44);
    m.stereo = (flags & 1) != 0;
    m.instrumentMode = (flags & 4) != 0;
    m.linearSlides = (flags & 8) != 0;
    m.oldEffects = (flags & 16) != 0;
    m.compatibleGxx = (flags & 32) != 0;
    m.initialGlobalVolume = std::min<uint8_t>(in.U8(48), 128);
    m.mixVolume = std::min<uint8_t>(in.U8(49), 128);
    m.initialSpeed = in.U8(50) ? in.U8(50) : 6;
    m.initialTempo = in.U8(51) >= 32 ? in.U8(51) : 125;
    m.panSeparation = std::min<uint8_t>(in.U8(52), 128);
    for (int c = 0; c < kChannels; ++c) {
        const uint8_t pan = in.U8(64 + size_t(c));
        const int value = pan & 0x7F;
        m.channelPan.push_back(static_cast<int16_t>(value == kSurround ? 512 : std::min(value, 64) * 4));
        m.channelMuted.push_back((pan & 0x80) != 0);
        m.channelVolume.push_back(std::min<uint8_t>(in.U8(128 + size_t(c)), 64));
    }
}

std::string ReadMessage(const Bytes& in) {
    if (!(in.U16le(46) & 1)) return {};
    const size_t at = in.U32le(56);
    const size_t length = std::min<size_t>(in.U16le(54), in.Left(at));
    std::string text;
    for (size_t i = 0; i < length; ++i) {
        const uint8_t c = in.U8(at + i);
        if (c == 0) break;
        text.push_back(c == '\r' ? '\n' : static_cast<char>(c));
    }
    return text;
}

void ReadSample(const Bytes& in, size_t at, PcmBudget& budget, Sample& s) {
    if (!in.Matches(at, "IMPS", 4)) return;
    s.globalVolume = std::min<uint8_t>(in.U8(at + 0x11), 64);
    const uint8_t flags = in.U8(at + 0x12);
    s.volume = std::min<uint8_t>(in.U8(at + 0x13), 64);
    s.name = TextField(in, at + 0x14, 26, true);
    const uint8_t convert = in.U8(at + 0x2E);
    const uint8_t pan = in.U8(at + 0x2F);
    if (pan & 0x80) s.pan = static_cast<int16_t>(std::min(pan & 0x7F, 64) * 4);
    const uint32_t length = in.U32le(at + 0x30);
    const uint32_t c5 = in.U32le(at + 0x3C);
    s.c5Speed = c5 ? std::min<uint32_t>(c5, 9999999) : 8363;
    if (flags & 0x10)
        s.loop = Loop{(flags & 0x40) ? LoopType::PingPong : LoopType::Forward, in.U32le(at + 0x34), in.U32le(at + 0x38)};
    if (flags & 0x20)
        s.sustainLoop = Loop{(flags & 0x80) ? LoopType::PingPong : LoopType::Forward, in.U32le(at + 0x40),
                             in.U32le(at + 0x44)};
    const size_t dataAt = in.U32le(at + 0x48);
    s.vibratoRate = in.U8(at + 0x4C);
    s.vibratoDepth = in.U8(at + 0x4D);
    s.vibratoSweep = in.U8(at + 0x4E);
    static const VibratoWave kWaves[4] = {VibratoWave::Sine, VibratoWave::RampDown, VibratoWave::Square,
                                          VibratoWave::Random};
    s.vibratoWave = kWaves[in.U8(at + 0x4F) & 3];

    if (!(flags & 1) || length == 0) return;
    const bool sixteenBit = (flags & 2) != 0;
    const bool stereo = (flags & 4) != 0;
    if (flags & 8) {
        // Compressed: never more frames than the rest of the file could plausibly hold.
        const int channels = stereo ? 2 : 1;
        const uint32_t frames = budget.Take(length, channels);
        s.channels = channels;
        s.frames = frames;
        s.pcm.assign(size_t(frames) * channels, 0.0f);
        if (frames == 0) return;
        size_t next = dataAt;
        for (int c = 0; c < channels; ++c)
            next = DecompressItSample(in, next, frames, sixteenBit, (convert & 4) != 0, s.pcm.data() + c, channels);
    } else {
        PcmLayout layout;
        layout.sixteenBit = sixteenBit;
        layout.stereo = stereo;
        layout.isSigned = (convert & 1) != 0;
        layout.bigEndian = (convert & 2) != 0;
        layout.delta = (convert & 4) != 0;
        ReadPcm(in, dataAt, length, layout, budget, s);
    }
}

// Packed rows: a channel byte (0 ends the row), a mask when its top bit is set, then the
// fields the mask names; masks 16..128 repeat the channel's last value of that field.
Pattern ReadPattern(const Bytes& in, size_t at, int& usedChannels) {
    Pattern p;
    p.rows = 64;
    if (at == 0 || !in.Has(at, 8)) {
        p.cells.resize(size_t(p.rows) * kChannels);
        return p;
    }
    const size_t packedBytes = in.U16le(at);
    p.rows = std::clamp<int>(in.U16le(at + 2), 1, kMaxRows);
    p.cells.resize(size_t(p.rows) * kChannels);
    uint8_t lastMask[kChannels] = {};
    Cell last[kChannels];
    size_t pos = at + 8;
    const size_t end = pos + std::min(packedBytes, in.Left(pos));
    for (int row = 0; row < p.rows && pos < end;) {
        const uint8_t channelByte = in.U8(pos++);
        if (channelByte == 0) {
            ++row;
            continue;
        }
        const int c = (channelByte - 1) & 63;
        if (channelByte & 0x80) lastMask[c] = in.U8(pos++);
        const uint8_t mask = lastMask[c];
        Cell& cell = p.cells[size_t(row) * kChannels + c];
        if (mask & 1) {
            const uint8_t note = in.U8(pos++);
            last[c].note = note < 120 ? static_cast<uint8_t>(note + 1) : note == 255 ? kNoteOff : note == 254 ? kNoteCut : kNoteFade;
        }
        if (mask & 2) last[c].instrument = in.U8(pos++);
        if (mask & 4) {
            const VolumeColumn v = ItVolumeColumn(in.U8(pos++));
            last[c].volumeCommand = v.command;
            last[c].volumeParam = v.param;
        }
        if (mask & 8) {
            last[c].effect = LetterEffect(in.U8(pos));
            last[c].effectParam = in.U8(pos + 1);
            pos += 2;
        }
        if (mask & (1 | 16)) cell.note = last[c].note;
        if (mask & (2 | 32)) cell.instrument = last[c].instrument;
        if (mask & (4 | 64)) cell.volumeCommand = last[c].volumeCommand, cell.volumeParam = last[c].volumeParam;
        if (mask & (8 | 128)) cell.effect = last[c].effect, cell.effectParam = last[c].effectParam;
        if (mask) usedChannels = std::max(usedChannels, c + 1);
    }
    return p;
}

// Patterns are read 64 channels wide, then narrowed to the channels any of them uses.
void NarrowPatterns(Module& m, int channels) {
    for (Pattern& p : m.patterns) {
        std::vector<Cell> cells(size_t(p.rows) * channels);
        for (int row = 0; row < p.rows; ++row)
            std::copy_n(p.cells.begin() + ptrdiff_t(row) * kChannels, channels, cells.begin() + ptrdiff_t(row) * channels);
        p.cells = std::move(cells);
    }
    m.channels = channels;
    m.channelPan.resize(size_t(channels));
    m.channelVolume.resize(size_t(channels));
    m.channelMuted.resize(size_t(channels));
}

}  // namespace

LoadResult LoadIt(const uint8_t* data, size_t size, Module& out) {
    const Bytes in{data, size};
    if (!in.Matches(0, "IMPM", 4)) return LoadResult::NotModule;
    Module m;
    m.type = ModuleType::It;
    ReadHeader(in, m);
    m.message = ReadMessage(in);
    const int orders = std::min<int>(in.U16le(32), kMaxOrders);
    const int instruments = std::min<int>(in.U16le(34), kMaxInstruments);
    const int samples = std::min<int>(in.U16le(36), kMaxSamples);
    const int patterns = std::min<int>(in.U16le(38), kMaxPatterns);
    const uint16_t compatibleVersion = in.U16le(42);
    const size_t instrumentPointersAt = 192 + size_t(in.U16le(32));
    const size_t samplePointersAt = instrumentPointersAt + size_t(in.U16le(34)) * 4;
    const size_t patternPointersAt = samplePointersAt + size_t(in.U16le(36)) * 4;
    for (int i = 0; i < orders && in.Has(192 + size_t(i), 1); ++i) m.orders.push_back(in.U8(192 + size_t(i)));
    DropTrailingEnds(m.orders);

    for (int i = 0; i < instruments; ++i) {
        Instrument ins;
        const size_t at = in.U32le(instrumentPointersAt + size_t(i) * 4);
        if (at != 0) ReadItInstrument(in, at, compatibleVersion < 0x200, ins);
        m.instruments.push_back(std::move(ins));
    }
    PcmBudget budget(size);
    for (int i = 0; i < samples; ++i) {
        Sample s;
        ReadSample(in, in.U32le(samplePointersAt + size_t(i) * 4), budget, s);
        FitLoop(s.loop, s.frames);  // also when the sample has no data
        FitLoop(s.sustainLoop, s.frames);
        m.samples.push_back(std::move(s));
    }
    int usedChannels = 1;
    for (int i = 0; i < patterns; ++i)
        m.patterns.push_back(ReadPattern(in, in.U32le(patternPointersAt + size_t(i) * 4), usedChannels));
    NarrowPatterns(m, usedChannels);
    if (m.patterns.empty() && m.samples.empty()) return LoadResult::Damaged;
    out = std::move(m);
    return LoadResult::Ok;
}

}  // namespace tracker
