// Layer II: 36 samples per subband in 12 groups of three, up to three scalefactors per
// subband, and allocation tables that depend on rate and bitrate per channel.
#include "bit_reader.h"
#include "layers.h"

namespace mpeg {
namespace {

// Quantiser steps that an allocation value selects, one row per kind of subband.
struct StepRow {
    int allocationBits;
    int steps[15];  // for allocation values 1..15
};
constexpr StepRow kRowHigh = {4, {3, 7, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 16383, 32767, 65535}};
constexpr StepRow kRowMid = {4, {3, 5, 7, 9, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 65535}};
constexpr StepRow kRowUpper = {3, {3, 5, 7, 9, 15, 31, 65535}};
constexpr StepRow kRowTop = {2, {3, 5, 65535}};
constexpr StepRow kRowLowRate = {4, {3, 5, 9, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 16383, 32767}};
constexpr StepRow kRowLowRateUpper = {3, {3, 5, 9, 15, 31, 63, 127}};
constexpr StepRow kRowLsf = {4, {3, 5, 7, 9, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 16383}};
constexpr StepRow kRowLsfTop = {2, {3, 5, 9}};

struct RowSpan {
    int subbands;
    const StepRow* row;
};
using AllocationTable = RowSpan[4];  // spans in subband order; unused spans have 0 subbands
constexpr AllocationTable kTable27 = {{3, &kRowHigh}, {8, &kRowMid}, {12, &kRowUpper}, {4, &kRowTop}};
constexpr AllocationTable kTable30 = {{3, &kRowHigh}, {8, &kRowMid}, {12, &kRowUpper}, {7, &kRowTop}};
constexpr AllocationTable kTable8 = {{2, &kRowLowRate}, {6, &kRowLowRateUpper}, {0, nullptr}, {0, nullptr}};
constexpr AllocationTable kTable12 = {{2, &kRowLowRate}, {10, &kRowLowRateUpper}, {0, nullptr}, {0, nullptr}};
constexpr AllocationTable kTableLsf = {{4, &kRowLsf}, {7, &kRowLowRateUpper}, {19, &kRowLsfTop}, {0, nullptr}};

// Free format names no bitrate: the frame size bounds it from above (encoders round sizes
// down), which is what the choice between tables needs.
int BitsPerSecondPerChannel(const FrameHeader& header, int frameBytes) {
    if (header.bitrateKbps != 0) return header.bitrateKbps * 1000 / header.channels;
    const int unpadded = frameBytes - (header.padding ? 1 : 0);
    return static_cast<int>(static_cast<int64_t>(unpadded + 1) * header.sampleRate / 144 / header.channels);
}

const AllocationTable& SelectTable(const FrameHeader& header, int frameBytes) {
    if (header.version != Version::Mpeg1) return kTableLsf;
    const int perChannel = BitsPerSecondPerChannel(header, frameBytes);
    if (perChannel <= 48000) return header.sampleRate == 32000 ? kTable12 : kTable8;
    if (header.sampleRate == 48000 || perChannel < 96000) return kTable27;
    return kTable30;
}

struct Selection {
    const StepRow* rows[32];
    int limit;
};

Selection SelectRows(const FrameHeader& header, int frameBytes) {
    Selection s{};
    int sb = 0;
    for (const RowSpan& span : SelectTable(header, frameBytes))
        for (int i = 0; i < span.subbands; ++i) s.rows[sb++] = span.row;
    s.limit = sb;
    return s;
}

struct Quantizer {
    int levels = 0;  // 0: subband not coded
    int bits = 0;    // per sample, or per group of three
    const uint8_t (*groups)[3] = nullptr;  // grouped codes: the three values of each code
    Requantizer requantize;
};

// The three values a grouped code stands for, lowest first, by code; codes past the last
// group read like the others (the top value wraps), as a plain division would.
void FillGroups(uint8_t (*values)[3], int codes, int levels) {
    for (int code = 0; code < codes; ++code)
        for (int i = 0, rest = code; i < 3; ++i, rest /= levels) values[code][i] = static_cast<uint8_t>(rest % levels);
}

struct GroupTables {
    uint8_t threes[32][3], fives[128][3], nines[1024][3];
    GroupTables() {
        FillGroups(threes, 32, 3);
        FillGroups(fives, 128, 5);
        FillGroups(nines, 1024, 9);
    }
};

const uint8_t (*GroupsFor(int levels))[3] {
    static const GroupTables tables;
    if (levels == 3) return tables.threes;
    if (levels == 5) return tables.fives;
    if (levels == 9) return tables.nines;
    return nullptr;
}

Quantizer QuantizerFor(int steps) {
    Quantizer q;
    q.levels = steps;
    q.requantize = Requantizer(steps);
    q.groups = GroupsFor(steps);
    if (steps == 3) q.bits = 5;
    else if (steps == 5) q.bits = 7;
    else if (steps == 9) q.bits = 10;
    else while ((1 << q.bits) - 1 < steps) ++q.bits;
    return q;
}

// Three samples take at most 3 x 16 bits.
void ReadTriple(BitReader& bits, const Quantizer& q, uint32_t codes[3]) {
    bits.EnsureBits(48);
    if (q.groups != nullptr) {
        const uint8_t* values = q.groups[bits.TakeUnchecked(q.bits)];
        for (int i = 0; i < 3; ++i) codes[i] = values[i];
    } else {
        for (int i = 0; i < 3; ++i) codes[i] = bits.TakeUnchecked(q.bits);
    }
}

// A coded subband of one channel (or of both, above the joint bound), in bit stream order,
// with its code-to-sample factors for the current part: sample = code * scale + shift.
struct CodedSubband {
    int sb;
    int ch;
    bool shared;  // also gives channel 1's sample (with channel 1's scalefactor)
    const Quantizer* quantizer;
    float scale[2];
    float shift[2];
};

}  // namespace

bool DecodeLayer2(const FrameHeader& header, const uint8_t* frame, int frameBytes,
                  SynthesisState* synthesis, float* pcm) {
    BitReader bits(frame + HeaderBytes(header), frameBytes - HeaderBytes(header));
    const int channels = header.channels;
    const Selection selection = SelectRows(header, frameBytes);
    const int limit = selection.limit;
    const int bound = JointBound(header, limit);

    Quantizer quantizer[2][32];
    for (int sb = 0; sb < limit; ++sb) {
        const StepRow& row = *selection.rows[sb];
        for (int ch = 0; ch < (sb < bound ? channels : 1); ++ch) {
            const int value = static_cast<int>(bits.Read(row.allocationBits));
            if (value != 0) quantizer[ch][sb] = QuantizerFor(row.steps[value - 1]);
        }
        if (sb >= bound && channels == 2) quantizer[1][sb] = quantizer[0][sb];
    }

    int scfsi[2][32] = {};
    for (int sb = 0; sb < limit; ++sb)
        for (int ch = 0; ch < channels; ++ch)
            if (quantizer[ch][sb].levels != 0) scfsi[ch][sb] = static_cast<int>(bits.Read(2));

    float scale[2][32][3] = {};
    for (int sb = 0; sb < limit; ++sb) {
        for (int ch = 0; ch < channels; ++ch) {
            if (quantizer[ch][sb].levels == 0) continue;
            float* s = scale[ch][sb];
            switch (scfsi[ch][sb]) {
            case 0:
                for (int part = 0; part < 3; ++part) s[part] = LayerScale(static_cast<int>(bits.Read(6)));
                break;
            case 1:
                s[0] = s[1] = LayerScale(static_cast<int>(bits.Read(6)));
                s[2] = LayerScale(static_cast<int>(bits.Read(6)));
                break;
            case 2:
                s[0] = s[1] = s[2] = LayerScale(static_cast<int>(bits.Read(6)));
                break;
            default:
                s[0] = LayerScale(static_cast<int>(bits.Read(6)));
                s[1] = s[2] = LayerScale(static_cast<int>(bits.Read(6)));
                break;
            }
        }
    }

    CodedSubband coded[64];
    int codedCount = 0;
    for (int sb = 0; sb < limit; ++sb) {
        const int perSubband = sb < bound ? channels : 1;
        for (int ch = 0; ch < perSubband; ++ch) {
            if (quantizer[ch][sb].levels == 0) continue;
            coded[codedCount++] = {sb, ch, perSubband == 1 && channels == 2, &quantizer[ch][sb], {}, {}};
        }
    }

    // By channel, subband and slot of the part: the slots of a subband side by side, as
    // synthesis reads them. Subbands without allocation are never written and stay silent.
    float subbands[2][32][12] = {};
    for (int group = 0; group < 12; ++group) {
        const int part = group / 4;
        if (group % 4 == 0) {
            for (int e = 0; e < codedCount; ++e) {
                CodedSubband& c = coded[e];
                const Requantizer& r = c.quantizer->requantize;
                for (int ch = c.ch; ch <= (c.shared ? 1 : c.ch); ++ch) {
                    c.scale[ch - c.ch] = r.step * scale[ch][c.sb][part];
                    c.shift[ch - c.ch] = -r.offset * scale[ch][c.sb][part];
                }
            }
        }
        for (int e = 0; e < codedCount; ++e) {
            const CodedSubband& c = coded[e];
            uint32_t codes[3];
            ReadTriple(bits, *c.quantizer, codes);
            float* slot = subbands[c.ch][c.sb] + 3 * (group % 4);
            for (int i = 0; i < 3; ++i) slot[i] = static_cast<float>(codes[i]) * c.scale[0] + c.shift[0];
            if (c.shared) {
                slot = subbands[1][c.sb] + 3 * (group % 4);
                for (int i = 0; i < 3; ++i) slot[i] = static_cast<float>(codes[i]) * c.scale[1] + c.shift[1];
            }
        }
        if (group % 4 == 3) {
            const float* const slots[2] = {subbands[0][0], subbands[1][0]};
            SynthesizeSlots(synthesis, channels, slots, 12, 12, pcm + part * 12 * 32 * channels);
        }
    }
    return !bits.Overrun();
}

}  // namespace mpeg
