// ProTracker-style MOD: 31 samples and a channel tag at 1080 ("M.K.", "xCHN", "xxCH",
// "FLT8", ...), or the older 15-sample Soundtracker layout without a tag.
#include <algorithm>
#include <cmath>

#include "bytes.h"
#include "effects.h"
#include "mod_layout.h"
#include "sample_data.h"
#include "tracker/load.h"

namespace tracker {
namespace {

constexpr int kRows = 64;
constexpr size_t kSampleHeaderBytes = 30;

// Amiga period 428 plays C-5 (our middle C); every semitone is a factor 2^(1/12).
uint8_t NoteForPeriod(int period) {
    if (period <= 0) return kNoteNone;
    const long note = std::lround(kMiddleC + 12.0 * std::log2(428.0 / period));
    return static_cast<uint8_t>(note < 1 ? 1 : note > kNoteMax ? kNoteMax : note);
}

Cell ReadCell(const Bytes& in, size_t at) {
    const uint8_t b0 = in.U8(at), b1 = in.U8(at + 1), b2 = in.U8(at + 2), b3 = in.U8(at + 3);
    Cell cell;
    cell.note = NoteForPeriod((b0 & 0x0F) << 8 | b1);
    cell.instrument = static_cast<uint8_t>((b0 & 0xF0) | b2 >> 4);
    const int command = b2 & 0x0F;
    cell.effectParam = b3;
    cell.effect = command == 0 && b3 == 0 ? Effect::None : ModEffect(command);
    return cell;
}

void ReadSampleHeader(const Bytes& in, size_t at, bool soundtracker, Sample& s, uint32_t& bytes) {
    s.name = TextField(in, at, 22);
    bytes = uint32_t(in.U16be(at + 22)) * 2;
    const int finetune = soundtracker ? 0 : in.U8(at + 24) & 0x0F;
    const int signedFinetune = finetune >= 8 ? finetune - 16 : finetune;
    s.finetune = static_cast<int8_t>(signedFinetune * 16);
    s.c5Speed = static_cast<uint32_t>(std::lround(8363.0 * std::pow(2.0, signedFinetune / 96.0)));
    s.volume = std::min<uint8_t>(in.U8(at + 25), 64);
    // Soundtracker counted the loop start in bytes, ProTracker in words.
    const uint32_t loopStart = uint32_t(in.U16be(at + 26)) * (soundtracker ? 1 : 2);
    const uint32_t loopLength = uint32_t(in.U16be(at + 28)) * 2;
    if (loopLength > 2) s.loop = Loop{LoopType::Forward, loopStart, loopStart + loopLength};
}

}  // namespace

LoadResult LoadMod(const uint8_t* data, size_t size, Module& out) {
    const Bytes in{data, size};
    const ModLayout layout = DetectModLayout(data, size);
    if (layout.channels == 0) return LoadResult::NotModule;
    Module m;
    m.type = ModuleType::Mod;
    m.channels = layout.channels;
    m.soundtracker15 = layout.samples == 15;
    m.amigaLimits = layout.channels == 4;
    m.title = TextField(in, 0, 20);

    const size_t songAt = 20 + size_t(layout.samples) * kSampleHeaderBytes;
    const int songLength = std::min<int>(in.U8(songAt), 128);
    const int restart = in.U8(songAt + 1);
    int storedPatterns = 0;
    for (int i = 0; i < 128; ++i) storedPatterns = std::max<int>(storedPatterns, in.U8(songAt + 2 + i) + 1);
    for (int i = 0; i < songLength; ++i) m.orders.push_back(in.U8(songAt + 2 + i));
    m.restartOrder = static_cast<uint16_t>(restart < songLength ? restart : 0);
    // FLT8 keeps each 8-channel pattern as two 4-channel halves, the order list counting halves.
    const int halves = layout.splitEightChannels ? 2 : 1;
    if (layout.splitEightChannels) {
        for (uint16_t& order : m.orders) order /= 2;
        storedPatterns = (storedPatterns + 1) / 2 * 2;
    }
    const int patterns = storedPatterns / halves;
    const size_t patternsAt = songAt + 130 + (layout.samples == 31 ? 4 : 0);
    const int storedWidth = m.channels / halves;
    const size_t storedPatternBytes = size_t(kRows) * storedWidth * 4;
    // Without a signature only a file holding all its patterns is taken for a module.
    if (m.soundtracker15 && patternsAt + storedPatterns * storedPatternBytes > size) return LoadResult::NotModule;

    for (int p = 0; p < patterns; ++p) {
        Pattern pattern;
        pattern.rows = kRows;
        pattern.cells.resize(size_t(kRows) * m.channels);
        for (int half = 0; half < halves; ++half) {
            const size_t base = patternsAt + (size_t(p) * halves + half) * storedPatternBytes;
            for (int row = 0; row < kRows; ++row)
                for (int c = 0; c < storedWidth; ++c)
                    pattern.cells[size_t(row) * m.channels + half * storedWidth + c] =
                        ReadCell(in, base + (size_t(row) * storedWidth + c) * 4);
        }
        m.patterns.push_back(std::move(pattern));
    }

    // Amiga channels: left, right, right, left.
    for (int c = 0; c < m.channels; ++c) {
        m.channelPan.push_back(c % 4 == 0 || c % 4 == 3 ? 0 : 256);
        m.channelVolume.push_back(64);
        m.channelMuted.push_back(false);
    }

    PcmBudget budget(size);
    size_t sampleAt = patternsAt + size_t(storedPatterns) * storedPatternBytes;
    for (int i = 0; i < layout.samples; ++i) {
        Sample s;
        uint32_t bytes = 0;
        ReadSampleHeader(in, 20 + size_t(i) * kSampleHeaderBytes, m.soundtracker15, s, bytes);
        sampleAt += static_cast<size_t>(ReadPcm(in, sampleAt, bytes, PcmLayout{}, budget, s));
        FitLoop(s.loop, s.frames);
        m.samples.push_back(std::move(s));
    }
    if (patternsAt >= size) return LoadResult::Damaged;
    out = std::move(m);
    return LoadResult::Ok;
}

}  // namespace tracker
