// Matrixing is done as a 32-point DCT (split into even and odd halves down to two points),
// windowing as one multiply-add per tap over the 16 slots of history.
#include "synthesis.h"

#include <cmath>
#include <cstring>

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
    float window[512];
    float dctFactors[6][16];  // [log2 n][k]: 1 / (2 cos(pi (2k + 1) / (2n)))
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
                dctFactors[level][k] =
                    static_cast<float>(0.5 / std::cos(kPi * (2 * k + 1) / (2.0 * n)));
        }
    }
};

const SynthesisTables& Tables() {
    static const SynthesisTables tables;
    return tables;
}

// out[i] = sum over k of in[k] * cos(pi (2k + 1) i / (2n)), for n = 32 down to 2: each size
// splits into sums (the even outputs) and scaled differences (the odd outputs) of half
// the size. One function per size keeps every loop's length fixed for the compiler.
template <int N>
void Split(const float* in, float* sums, float* diffs, const float* factors) {
    for (int k = 0; k < N / 2; ++k) {
        sums[k] = in[k] + in[N - 1 - k];
        diffs[k] = (in[k] - in[N - 1 - k]) * factors[k];
    }
}

template <int N>
void Merge(const float* evens, const float* odds, float* out) {
    for (int r = 0; r < N / 2 - 1; ++r) {
        out[2 * r] = evens[r];
        out[2 * r + 1] = odds[r] + odds[r + 1];
    }
    out[N - 2] = evens[N / 2 - 1];
    out[N - 1] = odds[N / 2 - 1];
}

[[gnu::always_inline]] inline void Dct2(const float* in, float* out, const SynthesisTables& t) {
    out[0] = in[0] + in[1];
    out[1] = (in[0] - in[1]) * t.dctFactors[1][0];
}

[[gnu::always_inline]] inline void Dct4(const float* in, float* out, const SynthesisTables& t) {
    float s[2], d[2], e[2], o[2];
    Split<4>(in, s, d, t.dctFactors[2]);
    Dct2(s, e, t);
    Dct2(d, o, t);
    Merge<4>(e, o, out);
}

[[gnu::always_inline]] inline void Dct8(const float* in, float* out, const SynthesisTables& t) {
    float s[4], d[4], e[4], o[4];
    Split<8>(in, s, d, t.dctFactors[3]);
    Dct4(s, e, t);
    Dct4(d, o, t);
    Merge<8>(e, o, out);
}

[[gnu::always_inline]] inline void Dct16(const float* in, float* out, const SynthesisTables& t) {
    float s[8], d[8], e[8], o[8];
    Split<16>(in, s, d, t.dctFactors[4]);
    Dct8(s, e, t);
    Dct8(d, o, t);
    Merge<16>(e, o, out);
}

// The input may be spread out: in[0], in[inStride], ...
void Dct32(const float* in, int inStride, float* out, const SynthesisTables& t) {
    float s[16], d[16], e[16], o[16];
    for (int k = 0; k < 16; ++k) {
        const float low = in[k * inStride], high = in[(31 - k) * inStride];
        s[k] = low + high;
        d[k] = (low - high) * t.dctFactors[5][k];
    }
    Dct16(s, e, t);
    Dct16(d, o, t);
    Merge<32>(e, o, out);
}

// The fast transform above needs few operations but shuffles a lot; with eight lanes and
// fused multiply-adds matrix products are quicker. The first split stays: the even outputs
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
// negated. The plain version takes x from the fast transform.
void FillSlot(const float* x, float* v) {
    for (int i = 0; i < 16; ++i) v[i] = x[16 + i];
    v[16] = 0.0f;
    for (int i = 17; i < 48; ++i) v[i] = -x[48 - i];
    for (int i = 48; i < 64; ++i) v[i] = -x[i - 48];
}

// The windowing: sum[j] over the 16 slots of history from the newest on, even slots
// read in their first half, odd ones in their second. Products first, then the sums: in
// this form the compiler keeps the sums in vector registers (inlined, it may not).
[[gnu::noinline]] void WindowPlain(const float* newest, const float* taps, float* sum) {
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

void SynthesizePlain(const SynthesisTables& t, const float* subbands, int inStride, float* newest, float* copy,
                     float* sum) {
    float x[32];
    Dct32(subbands, inStride, x, t);
    FillSlot(x, newest);
    std::memcpy(copy, newest, 64 * sizeof(float));
    WindowPlain(newest, t.window, sum);
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

}  // namespace

void ResetSynthesis(SynthesisState& state) {
    std::memset(state.blocks, 0, sizeof(state.blocks));
    state.newest = 0;
}

void Synthesize(SynthesisState& state, const float* subbands, int inStride, float* out, int stride) {
    const SynthesisTables& t = Tables();
    state.newest = (state.newest + 15) & 15;
    float* newest = state.blocks[state.newest];
    float* copy = state.blocks[state.newest + 16];
    float sum[32];
    float* target = stride == 1 ? out : sum;
#ifdef MPEG_HAVE_AVX2
    if (HasAvx2Fma())
        SynthesizeAvx2(t, subbands, inStride, newest, copy, target);
    else
        SynthesizePlain(t, subbands, inStride, newest, copy, target);
#else
    SynthesizePlain(t, subbands, inStride, newest, copy, target);
#endif
    if (stride != 1)
        for (int j = 0; j < 32; ++j) out[j * stride] = sum[j];
}

void SynthesizeSlot(SynthesisState* states, int channels, const float* const subbands[2], int inStride,
                    float* out) {
    if (channels == 1) return Synthesize(states[0], subbands[0], inStride, out, 1);
    // Each channel whole, then one interleaving pass: cheaper than scattered stores.
    float left[32], right[32];
    Synthesize(states[0], subbands[0], inStride, left, 1);
    Synthesize(states[1], subbands[1], inStride, right, 1);
    for (int j = 0; j < 32; ++j) {
        out[2 * j] = left[j];
        out[2 * j + 1] = right[j];
    }
}

}  // namespace mpeg
