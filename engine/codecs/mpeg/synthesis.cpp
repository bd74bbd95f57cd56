// Matrixing is done as a 32-point DCT (split into even and odd halves until one point is
// left), windowing as one multiply-add per tap over the 16 slots of history.
#include "synthesis.h"

#include <cmath>
#include <cstring>

namespace mpeg {
namespace {

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

    SynthesisTables() {
        for (int i = 0; i <= 256; ++i) window[i] = static_cast<float>(kWindowHalf[i] / 65536.0);
        for (int i = 1; i < 256; ++i) window[512 - i] = (i % 64 == 0) ? window[i] : -window[i];
        for (int level = 1; level <= 5; ++level) {
            const int n = 1 << level;
            for (int k = 0; k < n / 2; ++k)
                dctFactors[level][k] =
                    static_cast<float>(0.5 / std::cos(M_PI * (2 * k + 1) / (2.0 * n)));
        }
    }
};

const SynthesisTables& Tables() {
    static const SynthesisTables tables;
    return tables;
}

// out[i] = sum over k of in[k] * cos(pi (2k + 1) i / (2n)).
void Dct(const float* in, float* out, int n, int level, const SynthesisTables& t) {
    if (n == 1) {
        out[0] = in[0];
        return;
    }
    const int half = n / 2;
    float sums[16], diffs[16], evens[16], odds[16];
    const float* factors = t.dctFactors[level];
    for (int k = 0; k < half; ++k) {
        sums[k] = in[k] + in[n - 1 - k];
        diffs[k] = (in[k] - in[n - 1 - k]) * factors[k];
    }
    Dct(sums, evens, half, level - 1, t);
    Dct(diffs, odds, half, level - 1, t);
    for (int r = 0; r < half; ++r) {
        out[2 * r] = evens[r];
        out[2 * r + 1] = odds[r] + (r + 1 < half ? odds[r + 1] : 0.0f);
    }
}

}  // namespace

void ResetSynthesis(SynthesisState& state) {
    std::memset(state.blocks, 0, sizeof(state.blocks));
    state.newest = 0;
}

void Synthesize(SynthesisState& state, const float* subbands, float* out, int stride) {
    const SynthesisTables& t = Tables();
    float x[32];
    Dct(subbands, x, 32, 5, t);

    state.newest = (state.newest + 15) & 15;
    float* v = state.blocks[state.newest];
    for (int i = 0; i < 16; ++i) v[i] = x[16 + i];
    v[16] = 0.0f;
    for (int i = 17; i < 48; ++i) v[i] = -x[48 - i];
    for (int i = 48; i < 64; ++i) v[i] = -x[i - 48];

    float sum[32] = {};
    for (int age = 0; age < 16; ++age) {
        const float* block = state.blocks[(state.newest + age) & 15] + (age & 1) * 32;
        const float* taps = t.window + 32 * age;
        for (int j = 0; j < 32; ++j) sum[j] += taps[j] * block[j];
    }
    for (int j = 0; j < 32; ++j) out[j * stride] = sum[j];
}

}  // namespace mpeg
