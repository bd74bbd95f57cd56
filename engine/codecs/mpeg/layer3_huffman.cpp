// Decoding tables are built once from the code words: a root table indexed by the next
// few bits, and for longer words sub-tables indexed by the bits after those.
#include "layer3_huffman.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace mpeg {
namespace {

constexpr uint32_t kNode = 0x80000000u;
constexpr int kMaxLevelBits = 8;

struct Code {
    uint32_t bits;
    int length;
    int symbol;
};

struct Lookup {
    uint32_t root = 0;
    int rootBits = 0;
};

// Leaf: symbol in bits 0..7, word length within the level in bits 8..15.
// Node: sub-table offset in bits 0..23, its index width in bits 24..27.
uint32_t BuildLevel(std::vector<uint32_t>& pool, const std::vector<Code>& codes, int levelBits) {
    const uint32_t base = static_cast<uint32_t>(pool.size());
    pool.resize(pool.size() + (size_t{1} << levelBits), 0);
    std::vector<std::vector<Code>> longer(size_t{1} << levelBits);
    for (const Code& c : codes) {
        if (c.length <= levelBits) {
            const uint32_t first = c.bits << (levelBits - c.length);
            const uint32_t count = 1u << (levelBits - c.length);
            for (uint32_t i = 0; i < count; ++i)
                pool[base + first + i] = static_cast<uint32_t>(c.symbol) | (static_cast<uint32_t>(c.length) << 8);
        } else {
            const int rest = c.length - levelBits;
            longer[c.bits >> rest].push_back({c.bits & ((1u << rest) - 1), rest, c.symbol});
        }
    }
    for (size_t prefix = 0; prefix < longer.size(); ++prefix) {
        if (longer[prefix].empty()) continue;
        int maxLength = 0;
        for (const Code& c : longer[prefix]) maxLength = std::max(maxLength, c.length);
        const int subBits = std::min(maxLength, kMaxLevelBits);
        const uint32_t offset = BuildLevel(pool, longer[prefix], subBits);
        pool[base + prefix] = kNode | offset | (static_cast<uint32_t>(subBits) << 24);
    }
    return base;
}

std::vector<Code> ParseWords(const HuffmanCodes& table) {
    std::vector<Code> codes;
    Code current{0, 0, 0};
    for (const char* p = table.words;; ++p) {
        if (*p == '0' || *p == '1') {
            current.bits = (current.bits << 1) | static_cast<uint32_t>(*p - '0');
            ++current.length;
            continue;
        }
        if (current.length > 0) {
            const int index = static_cast<int>(codes.size());
            current.symbol = table.table == 32 ? index : ((index / table.size) << 4) | (index % table.size);
            codes.push_back(current);
            current = Code{0, 0, 0};
        }
        if (*p == '\0') break;
    }
    return codes;
}

struct Decoding {
    std::vector<uint32_t> pool;
    Lookup pairs[25];  // by code table number; 16 and 24 serve 16..23 and 24..31
    Lookup quad;
    float pow43[8207];

    Lookup Build(const HuffmanCodes& table) {
        const std::vector<Code> codes = ParseWords(table);
        int maxLength = 0;
        for (const Code& c : codes) maxLength = std::max(maxLength, c.length);
        Lookup lookup;
        lookup.rootBits = std::min(maxLength, kMaxLevelBits);
        lookup.root = BuildLevel(pool, codes, lookup.rootBits);
        return lookup;
    }

    Decoding() {
        for (int i = 0; i < kPairCodeCount; ++i) pairs[kPairCodes[i].table] = Build(kPairCodes[i]);
        quad = Build(kQuadCodeWords);
        for (int i = 0; i < 8207; ++i) pow43[i] = static_cast<float>(std::pow(static_cast<double>(i), 4.0 / 3.0));
    }

};

const Decoding& Tables() {
    static const Decoding decoding;
    return decoding;
}

// The caller has ensured enough bits for the longest code word (19).
inline int DecodeSymbol(BitReader& bits, const uint32_t* pool, const Lookup& lookup) {
    uint32_t base = lookup.root;
    int levelBits = lookup.rootBits;
    for (;;) {
        const uint32_t entry = pool[base + bits.PeekUnchecked(levelBits)];
        if ((entry & kNode) == 0) {
            bits.SkipUnchecked(static_cast<int>((entry >> 8) & 0xFF));
            return static_cast<int>(entry & 0xFF);
        }
        bits.SkipUnchecked(levelBits);
        base = entry & 0xFFFFFF;
        levelBits = static_cast<int>((entry >> 24) & 0xF);
    }
}

struct PairTable {
    const Lookup* lookup;  // null: all zero
    int linbits;
    bool valid;
};

PairTable PairTableFor(int select, const Decoding& d) {
    constexpr int kLinbits16[8] = {1, 2, 3, 4, 6, 8, 10, 13};
    constexpr int kLinbits24[8] = {4, 5, 6, 7, 8, 9, 11, 13};
    if (select == 0) return {nullptr, 0, true};
    if (select == 4 || select == 14) return {nullptr, 0, false};
    if (select < 16) return {&d.pairs[select], 0, true};
    if (select < 24) return {&d.pairs[16], kLinbits16[select - 16], true};
    return {&d.pairs[24], kLinbits24[select - 24], true};
}

// The sign bit of a value, taken only when the value is nonzero; no branch, as the signs
// of audio are a coin toss for a predictor.
inline uint32_t TakeSign(BitReader& bits, bool nonzero) {
    const uint32_t sign = bits.PeekUnchecked(1) & static_cast<uint32_t>(nonzero);
    bits.SkipUnchecked(static_cast<int>(nonzero));
    return sign;
}

inline float WithSign(float value, uint32_t sign) {
    uint32_t word;
    std::memcpy(&word, &value, sizeof(word));
    word ^= sign << 31;
    std::memcpy(&value, &word, sizeof(word));
    return value;
}

float GainAt(const GainRun* runs, int& run, int line) {
    while (line >= runs[run].end) ++run;
    return runs[run].gain;
}

int ReadValues(BitReader& bits, size_t endBit, const GranuleChannel& g, const GainRun* runs,
                 float* xr, bool* valid) {
    const Decoding& d = Tables();
    const float* pow43 = d.pow43;
    int line = 0;
    int run = 0;
    int nonzeroEnd = 0;
    const int regionEnd[3] = {g.region1Start, g.region2Start, g.bigValues * 2};

    for (int region = 0; region < 3; ++region) {
        const PairTable table = PairTableFor(g.tableSelect[region], d);
        if (!table.valid) *valid = false;
        if (table.lookup == nullptr) {
            for (; line < regionEnd[region]; ++line) xr[line] = 0.0f;
            continue;
        }
        const uint32_t* pool = d.pool.data();
        // Stretches of pairs that share a gain: runs and regions start on even lines.
        while (line < regionEnd[region]) {
            const float gain = GainAt(runs, run, line);
            const int stretchEnd = std::min(regionEnd[region], runs[run].end);
            for (; line < stretchEnd; line += 2) {
                // A pair takes at most 19 + 2 * (13 + 1) bits.
                bits.EnsureBits(47);
                const int symbol = DecodeSymbol(bits, pool, *table.lookup);
                int x = symbol >> 4;
                int y = symbol & 15;
                if (x == 15 && table.linbits != 0) x += static_cast<int>(bits.TakeUnchecked(table.linbits));
                const uint32_t signX = TakeSign(bits, x != 0);
                if (y == 15 && table.linbits != 0) y += static_cast<int>(bits.TakeUnchecked(table.linbits));
                const uint32_t signY = TakeSign(bits, y != 0);
                xr[line] = WithSign(pow43[x] * gain, signX);
                xr[line + 1] = WithSign(pow43[y] * gain, signY);
                if ((x | y) != 0) nonzeroEnd = line + 2;
            }
        }
    }

    if (bits.BitPosition() > endBit) {
        // The pairs alone ran past the granule's bits: the data is broken, and what was read
        // is noise. The channel stays silent for this granule.
        for (int i = 0; i < 576; ++i) xr[i] = 0.0f;
        *valid = false;
        return 0;
    }
    while (line + 4 <= 576 && bits.BitPosition() < endBit) {
        bits.EnsureBits(10);  // a quad takes at most 6 + 4 bits
        const int symbol = g.count1Table == 0 ? DecodeSymbol(bits, d.pool.data(), d.quad)
                                              : 15 - static_cast<int>(bits.TakeUnchecked(4));
        // Most quads lie within one gain run; those that straddle two look each line up.
        const float first = GainAt(runs, run, line);
        const bool oneGain = line + 4 <= runs[run].end;
        float values[4];
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) {
            const bool nonzero = (symbol >> (3 - i)) & 1;
            const float gain = oneGain ? first : GainAt(runs, run, line + i);
            values[i] = WithSign(nonzero ? gain : 0.0f, TakeSign(bits, nonzero));
        }
        const bool any = symbol != 0;
        if (bits.BitPosition() > endBit) break;  // the last quad ran past the data: dropped
        for (int i = 0; i < 4; ++i) xr[line + i] = values[i];
        line += 4;
        if (any) nonzeroEnd = line;
    }
    for (int i = line; i < 576; ++i) xr[i] = 0.0f;
    return nonzeroEnd;
}

}  // namespace

int ReadSpectrum(BitReader& reader, size_t endBit, const GranuleChannel& g, const GainRun* runs,
                 float* xr, bool* valid) {
    // A local copy keeps the reader's state in registers.
    BitReader bits = reader;
    const int nonzeroEnd = ReadValues(bits, endBit, g, runs, xr, valid);
    reader = bits;
    return nonzeroEnd;
}

}  // namespace mpeg
