#include "it_instrument.h"

#include <algorithm>

namespace tracker {
namespace {

constexpr int kMaxPoints = 25;

// 240 bytes: for each of the 120 notes the note to play (0-based) and the sample (1-based).
void ReadKeyboard(const Bytes& in, size_t at, Instrument& ins) {
    for (int k = 0; k < kNoteMax; ++k) {
        const uint8_t note = in.U8(at + size_t(k) * 2);
        ins.keyboardNote[k] = static_cast<uint8_t>(note < kNoteMax ? note + 1 : k + 1);
        ins.keyboardSample[k] = in.U8(at + size_t(k) * 2 + 1);
    }
}

// 82 bytes: flags, point count, loop and sustain loop, then 25 points (value, tick).
void ReadEnvelope(const Bytes& in, size_t at, int minValue, int maxValue, Envelope& e) {
    const uint8_t flags = in.U8(at);
    const int points = std::min<int>(in.U8(at + 1), kMaxPoints);
    uint16_t tick = 0;
    for (int i = 0; i < points; ++i) {
        const size_t p = at + 6 + size_t(i) * 3;
        tick = std::max(tick, in.U16le(p + 1));
        const int value = std::clamp<int>(static_cast<int8_t>(in.U8(p)), minValue, maxValue);
        e.points.push_back({tick, static_cast<int8_t>(value)});
    }
    const uint8_t loopStart = in.U8(at + 2), loopEnd = in.U8(at + 3);
    const uint8_t sustainStart = in.U8(at + 4), sustainEnd = in.U8(at + 5);
    e.enabled = (flags & 1) && points > 0;
    e.loop = (flags & 2) && loopStart <= loopEnd && loopEnd < points;
    e.sustain = (flags & 4) && sustainStart <= sustainEnd && sustainEnd < points;
    e.carry = (flags & 8) != 0;
    e.isFilter = (flags & 0x80) != 0;
    if (e.loop) e.loopStart = loopStart, e.loopEnd = loopEnd;
    if (e.sustain) e.sustainStart = sustainStart, e.sustainEnd = sustainEnd;
}

void ReadNewFormat(const Bytes& in, size_t at, Instrument& ins) {
    ins.newNoteAction = static_cast<NewNoteAction>(std::min<uint8_t>(in.U8(at + 0x11), 3));
    ins.duplicateCheck = static_cast<DuplicateCheck>(std::min<uint8_t>(in.U8(at + 0x12), 3));
    ins.duplicateAction = static_cast<DuplicateAction>(std::min<uint8_t>(in.U8(at + 0x13), 2));
    ins.fadeout = static_cast<uint16_t>(std::min<uint32_t>(in.U16le(at + 0x14), 1024) * 32);
    ins.pitchPanSeparation = static_cast<int8_t>(std::clamp<int>(static_cast<int8_t>(in.U8(at + 0x16)), -32, 32));
    ins.pitchPanCenter = std::min<uint8_t>(in.U8(at + 0x17), kNoteMax - 1);
    ins.globalVolume = std::min<uint8_t>(in.U8(at + 0x18), 128);
    const uint8_t pan = in.U8(at + 0x19);
    if (!(pan & 0x80)) ins.pan = static_cast<int16_t>(std::min(pan & 0x7F, 64) * 4);
    ins.randomVolume = std::min<uint8_t>(in.U8(at + 0x1A), 100);
    ins.randomPan = std::min<uint8_t>(in.U8(at + 0x1B), 64);
    ins.name = TextField(in, at + 0x20, 26, true);
    if (in.U8(at + 0x3A) & 0x80) ins.filterCutoff = in.U8(at + 0x3A) & 0x7F;
    if (in.U8(at + 0x3B) & 0x80) ins.filterResonance = in.U8(at + 0x3B) & 0x7F;
    ReadKeyboard(in, at + 0x40, ins);
    ReadEnvelope(in, at + 0x130, 0, 64, ins.volumeEnvelope);
    ReadEnvelope(in, at + 0x182, -32, 32, ins.panEnvelope);
    ReadEnvelope(in, at + 0x1D4, -32, 32, ins.pitchEnvelope);
}

// Before IT 2.00: one volume envelope as up to 25 (tick, value) nodes ending at tick 0xFF,
// a duplicate note check that is on or off, and a coarser fade-out.
void ReadOldFormat(const Bytes& in, size_t at, Instrument& ins) {
    const uint8_t flags = in.U8(at + 0x11);
    ins.fadeout = static_cast<uint16_t>(std::min<uint32_t>(in.U16le(at + 0x18), 512) * 64);
    ins.newNoteAction = static_cast<NewNoteAction>(std::min<uint8_t>(in.U8(at + 0x1A), 3));
    ins.duplicateCheck = in.U8(at + 0x1B) ? DuplicateCheck::Note : DuplicateCheck::Off;
    ins.name = TextField(in, at + 0x20, 26, true);
    ReadKeyboard(in, at + 0x40, ins);
    Envelope& e = ins.volumeEnvelope;
    for (int i = 0; i < kMaxPoints; ++i) {
        const uint8_t tick = in.U8(at + 0x1F8 + size_t(i) * 2);
        if (tick == 0xFF) break;
        const uint16_t previous = e.points.empty() ? 0 : e.points.back().tick;
        e.points.push_back({std::max<uint16_t>(tick, previous),
                            static_cast<int8_t>(std::min<uint8_t>(in.U8(at + 0x1F9 + size_t(i) * 2), 64))});
    }
    const int points = static_cast<int>(e.points.size());
    const uint8_t loopStart = in.U8(at + 0x12), loopEnd = in.U8(at + 0x13);
    const uint8_t sustainStart = in.U8(at + 0x14), sustainEnd = in.U8(at + 0x15);
    e.enabled = (flags & 1) && points > 0;
    e.loop = (flags & 2) && loopStart <= loopEnd && loopEnd < points;
    e.sustain = (flags & 4) && sustainStart <= sustainEnd && sustainEnd < points;
    if (e.loop) e.loopStart = loopStart, e.loopEnd = loopEnd;
    if (e.sustain) e.sustainStart = sustainStart, e.sustainEnd = sustainEnd;
}

}  // namespace

void ReadItInstrument(const Bytes& in, size_t at, bool oldFormat, Instrument& ins) {
    if (!in.Matches(at, "IMPI", 4)) return;
    if (oldFormat) ReadOldFormat(in, at, ins);
    else ReadNewFormat(in, at, ins);
}

}  // namespace tracker
