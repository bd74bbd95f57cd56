#include "layer3_scalefactors.h"

#include <cstring>

namespace mpeg {
namespace {

constexpr uint8_t kSlen1[16] = {0, 0, 0, 0, 3, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4};
constexpr uint8_t kSlen2[16] = {0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 2, 3};

// Scalefactor counts of the four partitions, by [coding][long, short, mixed].
constexpr uint8_t kPartitionCounts[6][3][4] = {
    {{6, 5, 5, 5}, {9, 9, 9, 9}, {6, 9, 9, 9}},
    {{6, 5, 7, 3}, {9, 9, 12, 6}, {6, 9, 12, 6}},
    {{11, 10, 0, 0}, {18, 18, 0, 0}, {15, 18, 0, 0}},
    {{7, 7, 7, 0}, {12, 12, 12, 0}, {6, 15, 12, 0}},
    {{6, 6, 6, 3}, {12, 9, 9, 6}, {6, 12, 9, 6}},
    {{8, 8, 5, 0}, {15, 12, 9, 0}, {6, 18, 9, 0}},
};

void ReadShortBands(BitReader& bits, Scalefactors& sf, int firstBand, int endBand, int slen) {
    for (int b = firstBand; b < endBand; ++b)
        for (int w = 0; w < 3; ++w) sf.shortBands[b][w] = static_cast<uint8_t>(bits.Read(slen));
}

}  // namespace

void ReadScalefactorsMpeg1(BitReader& bits, const GranuleChannel& g, const int scfsi[4], int granule,
                           Scalefactors& sf) {
    const int slen1 = kSlen1[g.scalefacCompress];
    const int slen2 = kSlen2[g.scalefacCompress];
    if (g.IsShort()) {
        int firstShort = 0;
        if (g.mixedBlock) {
            for (int b = 0; b < 8; ++b) sf.longBands[b] = static_cast<uint8_t>(bits.Read(slen1));
            firstShort = 3;
        }
        ReadShortBands(bits, sf, firstShort, 6, slen1);
        ReadShortBands(bits, sf, 6, 12, slen2);
        return;
    }
    constexpr int kGroupStart[5] = {0, 6, 11, 16, 21};
    for (int group = 0; group < 4; ++group) {
        if (granule == 1 && scfsi[group]) continue;
        const int slen = group < 2 ? slen1 : slen2;
        for (int b = kGroupStart[group]; b < kGroupStart[group + 1]; ++b)
            sf.longBands[b] = static_cast<uint8_t>(bits.Read(slen));
    }
}

void ReadScalefactorsMpeg2(BitReader& bits, GranuleChannel& g, bool intensityRight, Scalefactors& sf) {
    int slen[4] = {};
    int coding = 0;
    int c = g.scalefacCompress;
    if (!intensityRight) {
        if (c < 400) {
            slen[0] = (c >> 4) / 5, slen[1] = (c >> 4) % 5, slen[2] = (c & 15) >> 2, slen[3] = c & 3;
            coding = 0;
        } else if (c < 500) {
            c -= 400;
            slen[0] = (c >> 2) / 5, slen[1] = (c >> 2) % 5, slen[2] = c & 3;
            coding = 1;
        } else {
            c -= 500;
            slen[0] = c / 3, slen[1] = c % 3;
            coding = 2;
            g.preflag = true;
        }
    } else {
        c >>= 1;
        if (c < 180) {
            slen[0] = c / 36, slen[1] = (c % 36) / 6, slen[2] = (c % 36) % 6;
            coding = 3;
        } else if (c < 244) {
            c -= 180;
            slen[0] = (c & 63) >> 4, slen[1] = (c & 15) >> 2, slen[2] = c & 3;
            coding = 4;
        } else {
            c -= 244;
            slen[0] = c / 3, slen[1] = c % 3;
            coding = 5;
        }
    }
    const int kind = !g.IsShort() ? 0 : g.mixedBlock ? 2 : 1;
    const uint8_t* counts = kPartitionCounts[coding][kind];

    // Values fill long bands first (all of them, or 6 of a mixed block), then short bands
    // window by window.
    const int longSlots = kind == 0 ? 21 : kind == 2 ? 6 : 0;
    const int firstShort = kind == 2 ? 3 : 0;
    std::memset(sf.longBands, 0, sizeof(sf.longBands));
    std::memset(sf.shortBands, 0, sizeof(sf.shortBands));
    int slot = 0;
    for (int part = 0; part < 4; ++part) {
        for (int i = 0; i < counts[part]; ++i, ++slot) {
            const uint8_t value = static_cast<uint8_t>(bits.Read(slen[part]));
            if (slot < longSlots) {
                sf.longBands[slot] = value;
            } else {
                const int s = slot - longSlots;
                const int band = firstShort + s / 3;
                if (band >= 13) continue;
                sf.shortBands[band][s % 3] = value;
            }
        }
    }
}

}  // namespace mpeg
