#include "layer3_hybrid.h"

#include <cmath>
#include <cstring>

namespace mpeg {
namespace {

struct HybridTables {
    float cos36[18][18];  // cos(pi (2j + 1)(2k + 1) / 72)
    float cos12[12][6];   // cos(pi (2i + 7)(2k + 1) / 24)
    float window[4][36];  // by block type; type 2 uses shortWindow
    float shortWindow[12];
    float cs[8], ca[8];   // alias reduction butterflies

    HybridTables() {
        for (int j = 0; j < 18; ++j)
            for (int k = 0; k < 18; ++k)
                cos36[j][k] = static_cast<float>(std::cos(M_PI * (2 * j + 1) * (2 * k + 1) / 72.0));
        for (int i = 0; i < 12; ++i)
            for (int k = 0; k < 6; ++k)
                cos12[i][k] = static_cast<float>(std::cos(M_PI * (2 * i + 7) * (2 * k + 1) / 24.0));
        auto longSine = [](int i) { return static_cast<float>(std::sin(M_PI / 36.0 * (i + 0.5))); };
        auto shortSine = [](int i) { return static_cast<float>(std::sin(M_PI / 12.0 * (i + 0.5))); };
        for (int i = 0; i < 36; ++i) window[0][i] = longSine(i);
        for (int i = 0; i < 18; ++i) window[1][i] = longSine(i);
        for (int i = 18; i < 24; ++i) window[1][i] = 1.0f;
        for (int i = 24; i < 30; ++i) window[1][i] = shortSine(i - 18);
        for (int i = 30; i < 36; ++i) window[1][i] = 0.0f;
        for (int i = 0; i < 6; ++i) window[3][i] = 0.0f;
        for (int i = 6; i < 12; ++i) window[3][i] = shortSine(i - 6);
        for (int i = 12; i < 18; ++i) window[3][i] = 1.0f;
        for (int i = 18; i < 36; ++i) window[3][i] = longSine(i);
        for (int i = 0; i < 36; ++i) window[2][i] = 0.0f;
        for (int i = 0; i < 12; ++i) shortWindow[i] = shortSine(i);
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

void ReduceAliasing(float* xr, int boundaries) {
    const HybridTables& t = Tables();
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

void LongTransform(const float* in, const float* window, float* raw36) {
    const HybridTables& t = Tables();
    float g[18];
    for (int j = 0; j < 18; ++j) {
        float sum = 0.0f;
        for (int k = 0; k < 18; ++k) sum += in[k] * t.cos36[j][k];
        g[j] = sum;
    }
    for (int i = 0; i < 9; ++i) raw36[i] = g[i + 9] * window[i];
    for (int i = 9; i < 27; ++i) raw36[i] = -g[26 - i] * window[i];
    for (int i = 27; i < 36; ++i) raw36[i] = -g[i - 27] * window[i];
}

void ShortTransforms(const float* in, float* raw36) {
    const HybridTables& t = Tables();
    for (int i = 0; i < 36; ++i) raw36[i] = 0.0f;
    for (int w = 0; w < 3; ++w) {
        for (int i = 0; i < 12; ++i) {
            float sum = 0.0f;
            for (int k = 0; k < 6; ++k) sum += in[3 * k + w] * t.cos12[i][k];
            raw36[6 + 6 * w + i] += sum * t.shortWindow[i];
        }
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
        float raw[36];
        if (sb >= active) {
            for (int i = 0; i < 36; ++i) raw[i] = 0.0f;
        } else if (g.IsShort() && !(g.mixedBlock && sb < 2)) {
            ShortTransforms(xr + 18 * sb, raw);
        } else {
            const int type = g.IsShort() ? 0 : g.blockType;
            LongTransform(xr + 18 * sb, t.window[type], raw);
        }
        float* keep = overlap[sb];
        const float sign = (sb & 1) ? -1.0f : 1.0f;
        for (int i = 0; i < 18; ++i) {
            const float sample = raw[i] + keep[i];
            out[i * 32 + sb] = (i & 1) ? sample * sign : sample;
            keep[i] = raw[18 + i];
        }
    }
}

}  // namespace mpeg
