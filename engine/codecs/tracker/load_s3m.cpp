// S3M: a header with channel settings and an order list, parapointers (offsets / 16) to
// sample headers and packed patterns, samples signed or unsigned as the header's Ffi says.
#include <algorithm>
#include <cmath>

#include "bytes.h"
#include "effects.h"
#include "sample_data.h"
#include "tracker/load.h"

namespace tracker {
namespace {

constexpr int kRows = 64;
constexpr int kMaxStoredChannels = 32;
constexpr int kMaxOrders = 256;
constexpr int kMaxSamples = 256;   // the tracker stops at 99
constexpr int kMaxPatterns = 256;  // and at 100
constexpr uint16_t kTrackerVersion300 = 0x1300;
// The tracker's octave 4 holds the note a sample's C2Spd names: our C-5.
constexpr int kOctave = 12;

struct Header {
    int orders = 0, samples = 0, patterns = 0;
    uint16_t flags = 0;
    bool unsignedSamples = false;
    bool panTable = false;
};

Header ReadHeader(const Bytes& in, Module& m) {
    Header h;
    m.title = TextField(in, 0, 28);
    h.orders = std::min<int>(in.U16le(0x20), kMaxOrders);
    h.samples = std::min<int>(in.U16le(0x22), kMaxSamples);
    h.patterns = std::min<int>(in.U16le(0x24), kMaxPatterns);
    h.flags = in.U16le(0x26);
    m.trackerVersion = in.U16le(0x28);
    h.unsignedSamples = in.U16le(0x2A) != 1;
    m.initialGlobalVolume = std::min<uint8_t>(in.U8(0x30), 64);
    m.initialSpeed = in.U8(0x31) ? in.U8(0x31) : 6;
    m.initialTempo = in.U8(0x32) >= 32 ? in.U8(0x32) : 125;
    m.mixVolume = in.U8(0x33) & 0x7F;
    m.stereo = (in.U8(0x33) & 0x80) != 0;
    h.panTable = in.U8(0x35) == 252;
    m.amigaLimits = (h.flags & 0x10) != 0;
    m.fastVolumeSlides = (h.flags & 0x40) != 0 || m.trackerVersion == kTrackerVersion300;
    m.linearSlides = false;
    return h;
}

// Channels 0..15 are sample channels (0-7 left, 8-15 right); the rest are AdLib or unused.
// Returns the stored channel for each module channel.
void ReadChannels(const Bytes& in, const Header& h, size_t panAt, Module& m) {
    int used = 0;
    for (int c = 0; c < kMaxStoredChannels; ++c)
        if ((in.U8(0x40 + c) & 0x7F) < 16) used = c + 1;
    m.channels = used;
    for (int c = 0; c < used; ++c) {
        const uint8_t setting = in.U8(0x40 + c);
        const bool sampleChannel = (setting & 0x7F) < 16;
        int pan = (setting & 0x7F) < 8 ? 3 : 12;  // 0..15
        if (h.panTable && (in.U8(panAt + c) & 0x20)) pan = in.U8(panAt + c) & 0x0F;
        m.channelPan.push_back(static_cast<int16_t>(std::lround(pan * 256.0 / 15.0)));
        m.channelVolume.push_back(64);
        m.channelMuted.push_back(!sampleChannel || (setting & 0x80) != 0);
    }
}

void ReadSample(const Bytes& in, size_t at, const Header& h, PcmBudget& budget, Sample& s) {
    s.name = TextField(in, at + 0x30, 28);
    if (in.U8(at) != 1) return;  // no sample: empty or an AdLib instrument
    const size_t dataAt = (size_t(in.U8(at + 0x0D)) << 16 | in.U16le(at + 0x0E)) * 16;
    const uint32_t length = in.U32le(at + 0x10);
    const uint8_t flags = in.U8(at + 0x1F);
    s.volume = std::min<uint8_t>(in.U8(at + 0x1C), 64);
    const uint32_t c2spd = in.U32le(at + 0x20);
    s.c5Speed = c2spd ? std::min<uint32_t>(c2spd, 9999999) : 8363;
    if (flags & 1) s.loop = Loop{LoopType::Forward, in.U32le(at + 0x14), in.U32le(at + 0x18)};
    if (in.U8(at + 0x1E) != 0) return;  // packed (DP30ADPCM): never in the wild
    PcmLayout layout;
    layout.isSigned = !h.unsignedSamples;
    layout.sixteenBit = (flags & 4) != 0;
    layout.stereo = (flags & 2) != 0;
    ReadPcm(in, dataAt, length, layout, budget, s);
}

// Fields a channel names twice in a row overwrite only themselves.
void ReadCellData(const Bytes& in, size_t& at, uint8_t what, Cell& cell) {
    if (what & 0x20) {
        const uint8_t note = in.U8(at), instrument = in.U8(at + 1);
        at += 2;
        if (note == 254) cell.note = kNoteCut;
        else if (note < 0xA0 && (note & 0x0F) < 12) cell.note = static_cast<uint8_t>((note >> 4) * 12 + (note & 0x0F) + 1 + kOctave);
        cell.instrument = instrument;
    }
    if (what & 0x40) {
        const uint8_t volume = in.U8(at++);
        if (volume <= 64) cell.volumeCommand = VolumeCommand::Volume, cell.volumeParam = volume;
        // Later trackers wrote a panning 0..64 there as 128 + pan.
        if (volume >= 128 && volume <= 192) cell.volumeCommand = VolumeCommand::Panning, cell.volumeParam = volume - 128;
    }
    if (what & 0x80) {
        const uint8_t command = in.U8(at), param = in.U8(at + 1);
        at += 2;
        cell.effect = LetterEffect(command);
        cell.effectParam = param;
        // The tracker reads the break row as two decimal digits.
        if (cell.effect == Effect::PatternBreak) cell.effectParam = static_cast<uint8_t>((param >> 4) * 10 + (param & 0x0F));
    }
}

Pattern ReadPattern(const Bytes& in, size_t at, int channels) {
    Pattern p;
    p.rows = kRows;
    p.cells.resize(size_t(kRows) * channels);
    if (at == 0) return p;
    // The stored length is often wrong: rows end with their zero byte, the file with its end.
    size_t pos = at + 2;
    for (int row = 0; row < kRows && pos < in.size;) {
        const uint8_t what = in.U8(pos++);
        if (what == 0) {
            ++row;
            continue;
        }
        Cell ignored;
        const int c = what & 0x1F;
        ReadCellData(in, pos, what, c < channels ? p.cells[size_t(row) * channels + c] : ignored);
    }
    return p;
}

}  // namespace

LoadResult LoadS3m(const uint8_t* data, size_t size, Module& out) {
    const Bytes in{data, size};
    if (!in.Matches(0x2C, "SCRM", 4)) return LoadResult::NotModule;
    Module m;
    m.type = ModuleType::S3m;
    const Header h = ReadHeader(in, m);
    const size_t ordersAt = 0x60;
    const size_t samplePointersAt = ordersAt + h.orders;
    const size_t patternPointersAt = samplePointersAt + size_t(h.samples) * 2;
    const size_t panAt = patternPointersAt + size_t(h.patterns) * 2;
    ReadChannels(in, h, panAt, m);
    if (m.channels == 0) return LoadResult::Damaged;
    for (int i = 0; i < h.orders && in.Has(ordersAt + i, 1); ++i) m.orders.push_back(in.U8(ordersAt + i));
    DropTrailingEnds(m.orders);

    PcmBudget budget(size);
    for (int i = 0; i < h.samples; ++i) {
        Sample s;
        const size_t at = size_t(in.U16le(samplePointersAt + size_t(i) * 2)) * 16;
        if (at != 0) ReadSample(in, at, h, budget, s);
        FitLoop(s.loop, s.frames);  // also when the sample has no data
        m.samples.push_back(std::move(s));
    }
    for (int i = 0; i < h.patterns; ++i)
        m.patterns.push_back(ReadPattern(in, size_t(in.U16le(patternPointersAt + size_t(i) * 2)) * 16, m.channels));
    out = std::move(m);
    return LoadResult::Ok;
}

}  // namespace tracker
