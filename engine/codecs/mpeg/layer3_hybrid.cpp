#include "layer3_hybrid.h"

#include <cmath>
#include <cstring>

#include "simd.h"

namespace mpeg {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct HybridTables {
    // [k][j]: cos(pi (2j + 1)(2k + 1) / 72), rows padded to 24 for eight-lane loads.
    alignas(32) float cos36[18][24] = {};
    float cos12[6][12];   // [k][i]: cos(pi (2i + 7)(2k + 1) / 24)
    // By [odd subband][block type]. Odd subbands have their odd samples negated (frequency
    // inversion); doing it in the window costs nothing. Type 2 uses shortWindow.
    float window[2][4][36];
    float shortWindow[2][12];
    float cs[8], ca[8];   // alias reduction butterflies

    HybridTables() {
        for (int j = 0; j < 18; ++j)
            for (int k = 0; k < 18; ++k)
                cos36[k][j] = static_cast<float>(std::cos(kPi * (2 * j + 1) * (2 * k + 1) / 72.0));
        for (int i = 0; i < 12; ++i)
            for (int k = 0; k < 6; ++k)
                cos12[k][i] = static_cast<float>(std::cos(kPi * (2 * i + 7) * (2 * k + 1) / 24.0));
        auto longSine = [](int i) { return static_cast<float>(std::sin(kPi / 36.0 * (i + 0.5))); };
        auto shortSine = [](int i) { return static_cast<float>(std::sin(kPi / 12.0 * (i + 0.5))); };
        float (&w)[4][36] = window[0];
        for (int i = 0; i < 36; ++i) w[0][i] = longSine(i);
        for (int i = 0; i < 18; ++i) w[1][i] = longSine(i);
        for (int i = 18; i < 24; ++i) w[1][i] = 1.0f;
        for (int i = 24; i < 30; ++i) w[1][i] = shortSine(i - 18);
        for (int i = 30; i < 36; ++i) w[1][i] = 0.0f;
        for (int i = 0; i < 6; ++i) w[3][i] = 0.0f;
        for (int i = 6; i < 12; ++i) w[3][i] = shortSine(i - 6);
        for (int i = 12; i < 18; ++i) w[3][i] = 1.0f;
        for (int i = 18; i < 36; ++i) w[3][i] = longSine(i);
        for (int i = 0; i < 36; ++i) w[2][i] = 0.0f;
        for (int i = 0; i < 12; ++i) shortWindow[0][i] = shortSine(i);
        for (int type = 0; type < 4; ++type)
            for (int i = 0; i < 36; ++i) window[1][type][i] = (i & 1) ? -w[type][i] : w[type][i];
        // A short window's sample i lands at 6 + 6w + i: odd exactly when i is odd.
        for (int i = 0; i < 12; ++i) shortWindow[1][i] = (i & 1) ? -shortWindow[0][i] : shortWindow[0][i];
        constexpr double kAlias[8] = {-0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037};
        for (int i = 0; i < 8; ++i) {
            const double norm = std::sqrt(1.0 + kAlias[i] * kAlias[i]);
            cs[i] = static_cast<float>(1.0 / norm);
            ca[i] = static_cast<float>(kAlias[i] / norm);
        }
    }
};

const HybridTables& Tables() {
    static const HybridTables tables;
    return tables;
}

// Puts the short windows of each band side by side per frequency line, as the transforms
// of each subband read them. Returns the new bound of nonzero lines.
int ReorderShort(const BandLayout& layout, int firstBand, float* xr, int nonzeroEnd) {
    float sorted[576];
    const int begin = layout.shortStart[firstBand] * 3;
    int end = begin;
    for (int b = firstBand; b < 13 && end < nonzeroEnd; ++b) {
        const int start = layout.shortStart[b];
        const int width = layout.shortStart[b + 1] - start;
        for (int w = 0; w < 3; ++w)
            for (int j = 0; j < width; ++j) sorted[3 * (start + j) + w] = xr[3 * start + w * width + j];
        end = 3 * layout.shortStart[b + 1];
    }
    std::memcpy(xr + begin, sorted + begin, sizeof(float) * static_cast<size_t>(end - begin));
    return end > nonzeroEnd ? end : nonzeroEnd;
}

// Butterflies across each subband boundary: the 8 lines below it (read downwards) with
// the 8 above.
void ReduceAliasingPlain(float* xr, int boundaries, const HybridTables& t) {
    for (int sb = 1; sb <= boundaries; ++sb) {
        float* lower = xr + 18 * sb - 1;
        float* upper = xr + 18 * sb;
        for (int i = 0; i < 8; ++i) {
            const float a = lower[-i], b = upper[i];
            lower[-i] = a * t.cs[i] - b * t.ca[i];
            upper[i] = b * t.cs[i] + a * t.ca[i];
        }
    }
}

#ifdef MPEG_HAVE_AVX2
// The same with the eight butterflies of a boundary side by side.
MPEG_AVX2_FUNCTION void ReduceAliasingAvx2(float* xr, int boundaries, const HybridTables& t) {
    const __m256 cs = _mm256_loadu_ps(t.cs), ca = _mm256_loadu_ps(t.ca);
    const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    for (int sb = 1; sb <= boundaries; ++sb) {
        float* lower = xr + 18 * sb - 8;
        float* upper = xr + 18 * sb;
        const __m256 a = _mm256_permutevar8x32_ps(_mm256_loadu_ps(lower), reverse);
        const __m256 b = _mm256_loadu_ps(upper);
        const __m256 newLower = _mm256_fmsub_ps(a, cs, _mm256_mul_ps(b, ca));
        const __m256 newUpper = _mm256_fmadd_ps(b, cs, _mm256_mul_ps(a, ca));
        _mm256_storeu_ps(lower, _mm256_permutevar8x32_ps(newLower, reverse));
        _mm256_storeu_ps(upper, newUpper);
    }
}
#endif

void ReduceAliasing(float* xr, int boundaries) {
    const HybridTables& t = Tables();
#ifdef MPEG_HAVE_AVX2
    if (HasAvx2Fma()) return ReduceAliasingAvx2(xr, boundaries, t);
#endif
    ReduceAliasingPlain(xr, boundaries, t);
}

// g[j] = sum over k of in[k] * cos36[k][j] (six entries of padding at the end).
// The plain version stops at 20 columns, the next multiple of four.
void LongKernelPlain(const float* in, float* g, const HybridTables& t) {
    for (int j = 0; j < 20; ++j) g[j] = 0.0f;
    for (int k = 0; k < 18; ++k) {
        const float x = in[k];
        for (int j = 0; j < 20; ++j) g[j] += x * t.cos36[k][j];
    }
}

#ifdef MPEG_HAVE_AVX2
MPEG_AVX2_FUNCTION void LongKernelAvx2(const float* in, float* g, const HybridTables& t) {
    // Even and odd k summed apart: half as many adds wait on each other.
    __m256 a[6];
    for (__m256& v : a) v = _mm256_setzero_ps();
    for (int k = 0; k < 18; k += 2) {
        const __m256 x = _mm256_broadcast_ss(in + k);
        const __m256 y = _mm256_broadcast_ss(in + k + 1);
        for (int i = 0; i < 3; ++i) {
            a[i] = _mm256_fmadd_ps(_mm256_load_ps(t.cos36[k] + 8 * i), x, a[i]);
            a[3 + i] = _mm256_fmadd_ps(_mm256_load_ps(t.cos36[k + 1] + 8 * i), y, a[3 + i]);
        }
    }
    for (int i = 0; i < 3; ++i) _mm256_storeu_ps(g + 8 * i, _mm256_add_ps(a[i], a[3 + i]));
}
#endif

void LongTransform(const float* in, const float* window, float* raw36) {
    const HybridTables& t = Tables();
    float g[24];
#ifdef MPEG_HAVE_AVX2
    if (HasAvx2Fma())
        LongKernelAvx2(in, g, t);
    else
        LongKernelPlain(in, g, t);
#else
    LongKernelPlain(in, g, t);
#endif
    // The 36 outputs are the 18 values of g, mirrored and negated.
    for (int i = 0; i < 9; ++i) raw36[i] = g[i + 9] * window[i];
    for (int i = 9; i < 27; ++i) raw36[i] = -g[26 - i] * window[i];
    for (int i = 27; i < 36; ++i) raw36[i] = -g[i - 27] * window[i];
}

void ShortTransforms(const float* in, const float* window, float* raw36) {
    const HybridTables& t = Tables();
    for (int i = 0; i < 36; ++i) raw36[i] = 0.0f;
    for (int w = 0; w < 3; ++w) {
        float y[12] = {};
        for (int k = 0; k < 6; ++k) {
            const float x = in[3 * k + w];
            for (int i = 0; i < 12; ++i) y[i] += x * t.cos12[k][i];
        }
        for (int i = 0; i < 12; ++i) raw36[6 + 6 * w + i] += y[i] * window[i];
    }
}

}  // namespace

void SpectrumToSubbands(const GranuleChannel& g, const BandLayout& layout, float* xr, int nonzeroEnd,
                        float overlap[32][18], float* out) {
    const HybridTables& t = Tables();
    if (g.IsShort()) nonzeroEnd = ReorderShort(layout, g.mixedBlock ? 3 : 0, xr, nonzeroEnd);

    int active = (nonzeroEnd + 17) / 18;  // subbands that hold data
    if (!g.IsShort()) {
        const int boundaries = active < 32 ? active : 31;
        ReduceAliasing(xr, boundaries);
        active = boundaries + 1;
    } else if (g.mixedBlock) {
        ReduceAliasing(xr, 1);
        if (active < 2) active = 2;
    }
    if (active > 32) active = 32;

    for (int sb = 0; sb < 32; ++sb) {
        float* keep = overlap[sb];
        if (sb >= active) {
            // No data: the overlap of the last granule plays out. Odd subbands hold their
            // odd samples already negated.
            for (int i = 0; i < 18; ++i) out[sb * 18 + i] = keep[i];
            for (int i = 0; i < 18; ++i) keep[i] = 0.0f;
            continue;
        }
        const int odd = sb & 1;
        float raw[36];
        if (g.IsShort() && !(g.mixedBlock && sb < 2)) {
            ShortTransforms(xr + 18 * sb, t.shortWindow[odd], raw);
        } else {
            const int type = g.IsShort() ? 0 : g.blockType;
            LongTransform(xr + 18 * sb, t.window[odd][type], raw);
        }
        for (int i = 0; i < 18; ++i) out[sb * 18 + i] = raw[i] + keep[i];
        for (int i = 0; i < 18; ++i) keep[i] = raw[18 + i];
    }
}

}  // namespace mpeg
