// Matrixing is done as a 32-point DCT (split into even and odd halves down to two points),
// windowing as one multiply-add per tap over the 16 slots of history.
#include "synthesis.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "simd.h"

namespace mpeg {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The prototype window of the filter bank, first half in steps of 2^-16. The other half
// mirrors it: D[512 - i] = -D[i], except that multiples of 64 keep their sign.
constexpr int32_t kWindowHalf[257] = {
    0, -1, -1, -1, -1, -1, -1, -2, -2, -2, -2, -3, -3, -4, -4, -5, -5, -6, -7, -7, -8, -9, -10,
    -11, -13, -14, -16, -17, -19, -21, -24, -26, -29, -31, -35, -38, -41, -45, -49, -53, -58,
    -63, -68, -73, -79, -85, -91, -97, -104, -111, -117, -125, -132, -139, -147, -154, -161,
    -169, -176, -183, -190, -196, -202, -208, 213, 218, 222, 225, 227, 228, 228, 227, 224, 221,
    215, 208, 200, 189, 177, 163, 146, 127, 106, 83, 57, 29, -2, -36, -72, -111, -153, -197,
    -244, -294, -347, -401, -459, -519, -581, -645, -711, -779, -848, -919, -991, -1064, -1137,
    -1210, -1283, -1356, -1428, -1498, -1567, -1634, -1698, -1759, -1817, -1870, -1919, -1962,
    -2001, -2032, -2057, -2075, -2085, -2087, -2080, -2063, 2037, 2000, 1952, 1893, 1822, 1739,
    1644, 1535, 1414, 1280, 1131, 970, 794, 605, 402, 185, -45, -288, -545, -814, -1095, -1388,
    -1692, -2006, -2330, -2663, -3004, -3351, -3705, -4063, -4425, -4788, -5153, -5517, -5879,
    -6237, -6589, -6935, -7271, -7597, -7910, -8209, -8491, -8755, -8998, -9219, -9416, -9585,
    -9727, -9838, -9916, -9959, -9966, -9935, -9863, -9750, -9592, -9389, -9139, -8840, -8492,
    -8092, -7640, -7134, 6574, 5959, 5288, 4561, 3776, 2935, 2037, 1082, 70, -998, -2122, -3300,
    -4533, -5818, -7154, -8540, -9975, -11455, -12980, -14548, -16155, -17799, -19478, -21189,
    -22929, -24694, -26482, -28289, -30112, -31947, -33791, -35640, -37489, -39336, -41176,
    -43006, -44821, -46617, -48390, -50137, -51853, -53534, -55178, -56778, -58333, -59838,
    -61289, -62684, -64019, -65290, -66494, -67629, -68692, -69679, -70590, -71420, -72169,
    -72835, -73415, -73908, -74313, -74630, -74856, -74992, 75038,
};

struct SynthesisTables {
    alignas(16) float window[512];
    // [log2 n][k]: 1 / (2 cos(pi (2k + 1) / (2n))), once per lane of the four-slot transform.
    alignas(16) float dctFactors[6][16][4];
    // For the eight-lane transform, by k < 16: the even outputs' factors (16), then the odd
    // ones' (16), each eight in the order 0 1 4 5 2 3 6 7 that interleaving undoes.
    alignas(32) float halfMatrix[16][32];

    SynthesisTables() {
        for (int i = 0; i <= 256; ++i) window[i] = static_cast<float>(kWindowHalf[i] / 65536.0);
        for (int i = 1; i < 256; ++i) window[512 - i] = (i % 64 == 0) ? window[i] : -window[i];
        constexpr int kLaneOrder[8] = {0, 1, 4, 5, 2, 3, 6, 7};
        for (int k = 0; k < 16; ++k) {
            for (int r = 0; r < 16; ++r) {
                const int column = (r & 8) + kLaneOrder[r & 7];
                halfMatrix[k][column] = static_cast<float>(std::cos(kPi * (2 * k + 1) * (2 * r) / 64.0));
                halfMatrix[k][16 + column] = static_cast<float>(std::cos(kPi * (2 * k + 1) * (2 * r + 1) / 64.0));
            }
        }
        for (int level = 1; level <= 5; ++level) {
            const int n = 1 << level;
            for (int k = 0; k < n / 2; ++k)
                for (float& lane : dctFactors[level][k])
                    lane = static_cast<float>(0.5 / std::cos(kPi * (2 * k + 1) / (2.0 * n)));
        }
    }
};

const SynthesisTables& Tables() {
    static const SynthesisTables tables;
    return tables;
}

// out[i] = sum over k of in[k] * cos(pi (2k + 1) i / (2n)), for n = 32: each size splits
// into sums (the even outputs) and scaled differences (the odd outputs) of half the size,
// down to two points, and the halves' results merge back up. Four slots go side by side,
// one per lane, so that every step is the same operation on four independent values and
// the compiler makes vector code of it without shuffles.
constexpr int kLanes = 4;
using Lanes = float[kLanes];

// Splits each group of N rows of in. The loops over rows are unrolled whole before the
// compiler vectorises, so that each row's four lanes become one vector operation.
template <int N>
[[gnu::always_inline]] inline void SplitLanes(const Lanes* in, Lanes* out, const Lanes* factors) {
#pragma GCC unroll 16
    for (int g = 0; g < 32; g += N)
#pragma GCC unroll 16
        for (int k = 0; k < N / 2; ++k)
            for (int l = 0; l < kLanes; ++l) {
                const float low = in[g + k][l], high = in[g + N - 1 - k][l];
                out[g + k][l] = low + high;
                out[g + N / 2 + k][l] = (low - high) * factors[k][l];
            }
}

// Merges each group of N rows: the evens (first half) as they are, each odd output the sum
// of two neighbours of the second half.
template <int N>
[[gnu::always_inline]] inline void MergeLanes(const Lanes* in, Lanes* out) {
#pragma GCC unroll 16
    for (int g = 0; g < 32; g += N) {
        const Lanes* evens = in + g;
        const Lanes* odds = in + g + N / 2;
#pragma GCC unroll 16
        for (int r = 0; r < N / 2 - 1; ++r)
            for (int l = 0; l < kLanes; ++l) {
                out[g + 2 * r][l] = evens[r][l];
                out[g + 2 * r + 1][l] = odds[r][l] + odds[r + 1][l];
            }
        for (int l = 0; l < kLanes; ++l) {
            out[g + N - 2][l] = evens[N / 2 - 1][l];
            out[g + N - 1][l] = odds[N / 2 - 1][l];
        }
    }
}

// The transform of `slots` (at most four) neighbouring slots: slot s reads in[s],
// in[s + inStride], ... and writes out[s][0..31].
[[gnu::noinline]] void Dct32Lanes(const float* in, int inStride, int slots, float (*out)[32], const SynthesisTables& t) {
    alignas(16) Lanes a[32], b[32];
    if (slots == kLanes) {
        for (int k = 0; k < 32; ++k)
            for (int l = 0; l < kLanes; ++l) a[k][l] = in[k * inStride + l];
    } else {
        for (int k = 0; k < 32; ++k)
            for (int l = 0; l < kLanes; ++l) a[k][l] = l < slots ? in[k * inStride + l] : 0.0f;
    }
    SplitLanes<32>(a, b, t.dctFactors[5]);
    SplitLanes<16>(b, a, t.dctFactors[4]);
    SplitLanes<8>(a, b, t.dctFactors[3]);
    SplitLanes<4>(b, a, t.dctFactors[2]);
    SplitLanes<2>(a, b, t.dctFactors[1]);
    MergeLanes<4>(b, a);
    MergeLanes<8>(a, b);
    MergeLanes<16>(b, a);
    MergeLanes<32>(a, b);
    for (int i = 0; i < 32; ++i)
        for (int l = 0; l < kLanes; ++l) out[l][i] = b[i][l];
}

// One slot at a time in eight lanes, the fast transform would shuffle a lot; with fused
// multiply-adds matrix products are quicker. The first split stays: the even outputs
// take the sums in[k] + in[31 - k], the odd ones the differences, each a 16 x 16 product.
#ifdef MPEG_HAVE_AVX2
MPEG_AVX2_FUNCTION void DctAvx2(const float* in, int inStride, __m256 out[4], const SynthesisTables& t) {
    // Two sets of sums (even and odd k) halve the chains of dependent adds.
    __m256 a[8];
    for (__m256& v : a) v = _mm256_setzero_ps();
    for (int k = 0; k < 16; k += 2) {
        for (int set = 0; set < 2; ++set) {
            const int j = k + set;
            const __m256 low = _mm256_broadcast_ss(in + j * inStride);
            const __m256 high = _mm256_broadcast_ss(in + (31 - j) * inStride);
            const __m256 sum = _mm256_add_ps(low, high);
            const __m256 difference = _mm256_sub_ps(low, high);
            const float* row = t.halfMatrix[j];
            a[4 * set] = _mm256_fmadd_ps(_mm256_load_ps(row), sum, a[4 * set]);
            a[4 * set + 1] = _mm256_fmadd_ps(_mm256_load_ps(row + 8), sum, a[4 * set + 1]);
            a[4 * set + 2] = _mm256_fmadd_ps(_mm256_load_ps(row + 16), difference, a[4 * set + 2]);
            a[4 * set + 3] = _mm256_fmadd_ps(_mm256_load_ps(row + 24), difference, a[4 * set + 3]);
        }
    }
    for (int i = 0; i < 4; ++i) a[i] = _mm256_add_ps(a[i], a[4 + i]);
    // Evens and odds interleaved: outputs 0..7, 8..15, 16..23, 24..31.
    out[0] = _mm256_unpacklo_ps(a[0], a[2]);
    out[1] = _mm256_unpackhi_ps(a[0], a[2]);
    out[2] = _mm256_unpacklo_ps(a[1], a[3]);
    out[3] = _mm256_unpackhi_ps(a[1], a[3]);
}
#endif

// The matrixed slot as the windowing reads it: x[16..31], 0, then x[31..1] and x[0..15]
// negated. The plain version takes x from the four-slot transform.
void FillSlot(const float* x, float* v) {
    for (int i = 0; i < 16; ++i) v[i] = x[16 + i];
    v[16] = 0.0f;
    for (int i = 17; i < 48; ++i) v[i] = -x[48 - i];
    for (int i = 48; i < 64; ++i) v[i] = -x[i - 48];
}

// The windowing: sum[j] over the 16 slots of history from the newest on, even slots
// read in their first half, odd ones in their second. Products first, then the sums: in
// this form the compiler keeps the sums in vector registers (inlined, it may not). Both
// arrays are aligned (see SynthesisState), so one operand of each product is read in place.
[[gnu::noinline]] void WindowPlain(const float* newestSlot, const float* windowTaps, float* sum) {
    const float* newest = std::assume_aligned<16>(newestSlot);
    const float* taps = std::assume_aligned<16>(windowTaps);
    float acc[32] = {};
#pragma GCC unroll 16
    for (int age = 0; age < 16; ++age) {
        const float* t = taps + 32 * age;
        const float* v = newest + 64 * age + ((age & 1) ? 32 : 0);
        float products[32];
        for (int j = 0; j < 32; ++j) products[j] = t[j] * v[j];
        for (int j = 0; j < 32; ++j) acc[j] += products[j];
    }
    for (int j = 0; j < 32; ++j) sum[j] = acc[j];
}

#ifdef MPEG_HAVE_AVX2
// A group of eight outputs negated and turned around behind its first lane.
MPEG_AVX2_FUNCTION __m256 Turned(__m256 x, __m256 sign) {
    return _mm256_permutevar8x32_ps(_mm256_xor_ps(x, sign), _mm256_setr_epi32(0, 7, 6, 5, 4, 3, 2, 1));
}

MPEG_AVX2_FUNCTION void StoreTwice(float* newest, float* copy, int group, __m256 row) {
    _mm256_storeu_ps(newest + 8 * group, row);
    _mm256_storeu_ps(copy + 8 * group, row);
}

// The same in eight lanes: the matrix product, the slot written with shuffles,
// and the windowing with even and odd slots summed apart so fewer adds wait on each other.
MPEG_AVX2_FUNCTION void SynthesizeAvx2(const SynthesisTables& t, const float* subbands, int inStride, float* newest,
                                       float* copy, float* sum) {
    __m256 x[4];
    DctAvx2(subbands, inStride, x, t);
    const __m256 sign = _mm256_set1_ps(-0.0f);
    // A blend moves each turned group's first lane to the group above, so all stores fall
    // on whole groups of eight, where the windowing's loads find them.
    const __m256 t3 = Turned(x[3], sign), t2 = Turned(x[2], sign), t1 = Turned(x[1], sign), t0 = Turned(x[0], sign);
    StoreTwice(newest, copy, 0, x[2]);
    StoreTwice(newest, copy, 1, x[3]);
    StoreTwice(newest, copy, 2, _mm256_blend_ps(t3, _mm256_setzero_ps(), 1));  // 0, -x31 .. -x25
    StoreTwice(newest, copy, 3, _mm256_blend_ps(t2, t3, 1));                   // -x24 .. -x17
    StoreTwice(newest, copy, 4, _mm256_blend_ps(t1, t2, 1));                   // -x16 .. -x9
    StoreTwice(newest, copy, 5, _mm256_blend_ps(t0, t1, 1));                   // -x8 .. -x1
    StoreTwice(newest, copy, 6, _mm256_xor_ps(x[0], sign));                    // -x0 .. -x7
    StoreTwice(newest, copy, 7, _mm256_xor_ps(x[1], sign));                    // -x8 .. -x15

    __m256 a[8];
    for (__m256& acc : a) acc = _mm256_setzero_ps();
    for (int age = 0; age < 16; age += 2) {
        const float* taps = t.window + 32 * age;
        const float* v = newest + 64 * age;
        const float* w = v + 64 + 32;
        for (int i = 0; i < 4; ++i) {
            a[i] = _mm256_fmadd_ps(_mm256_loadu_ps(taps + 8 * i), _mm256_loadu_ps(v + 8 * i), a[i]);
            a[4 + i] = _mm256_fmadd_ps(_mm256_loadu_ps(taps + 32 + 8 * i), _mm256_loadu_ps(w + 8 * i), a[4 + i]);
        }
    }
    for (int i = 0; i < 4; ++i) _mm256_storeu_ps(sum + 8 * i, _mm256_add_ps(a[i], a[4 + i]));
}
#endif

// Moves the history on by one slot: the newest slot and its copy.
float* NextSlot(SynthesisState& state, float** copy) {
    state.newest = (state.newest + 15) & 15;
    *copy = state.blocks[state.newest + 16];
    return state.blocks[state.newest];
}

}  // namespace

void ResetSynthesis(SynthesisState& state) {
    std::memset(state.blocks, 0, sizeof(state.blocks));
    state.newest = 0;
}

void SynthesizeSlots(SynthesisState* states, int channels, const float* const subbands[2], int inStride, int count,
                     float* out) {
    const SynthesisTables& t = Tables();
    const bool simd = HasAvx2Fma();
    for (int first = 0; first < count; first += kLanes) {
        const int slots = count - first < kLanes ? count - first : kLanes;
        alignas(16) float x[2][kLanes][32];
        if (!simd)
            for (int ch = 0; ch < channels; ++ch) Dct32Lanes(subbands[ch] + first, inStride, slots, x[ch], t);
        for (int s = 0; s < slots; ++s) {
            float* pcm = out + (first + s) * 32 * channels;
            // Each channel whole, then one interleaving pass: cheaper than scattered stores.
            float channelPcm[2][32];
            for (int ch = 0; ch < channels; ++ch) {
                float* copy;
                float* newest = NextSlot(states[ch], &copy);
                float* sum = channels == 1 ? pcm : channelPcm[ch];
#ifdef MPEG_HAVE_AVX2
                if (simd) {
                    SynthesizeAvx2(t, subbands[ch] + first + s, inStride, newest, copy, sum);
                    continue;
                }
#endif
                FillSlot(x[ch][s], newest);
                std::memcpy(copy, newest, 64 * sizeof(float));
                WindowPlain(newest, t.window, sum);
            }
            if (channels == 2)
                for (int j = 0; j < 32; ++j) {
                    pcm[2 * j] = channelPcm[0][j];
                    pcm[2 * j + 1] = channelPcm[1][j];
                }
        }
    }
}

}  // namespace mpeg
