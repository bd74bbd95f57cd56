#include "predict.h"

namespace flac {

void RestoreFixed(int32_t* s, uint32_t n, unsigned order) {
    // Unsigned arithmetic wraps; for a valid stream the result modulo 2^32 is the sample.
    auto* u = reinterpret_cast<uint32_t*>(s);
    switch (order) {
    case 1:
        for (uint32_t i = 1; i < n; ++i)
            u[i] += u[i - 1];
        break;
    case 2:
        for (uint32_t i = 2; i < n; ++i)
            u[i] += 2 * u[i - 1] - u[i - 2];
        break;
    case 3:
        for (uint32_t i = 3; i < n; ++i)
            u[i] += 3 * (u[i - 1] - u[i - 2]) + u[i - 3];
        break;
    case 4:
        for (uint32_t i = 4; i < n; ++i)
            u[i] += 4 * (u[i - 1] + u[i - 3]) - 6 * u[i - 2] - u[i - 4];
        break;
    default:
        break;
    }
}

namespace {

// With the order known at compile time the loops unroll, and the coefficients and the
// last samples live in registers: the newest sample feeds the next prediction without a
// trip through memory. Orders up to 12 cover what encoders choose by default. The narrow
// sum is unsigned, so a damaged stream wraps instead of overflowing.
template <unsigned Order, bool Wide>
void RestoreLpcFixedOrder(int32_t* s, uint32_t n, const int32_t* coefs, unsigned shift) {
    int32_t c[Order];
    int32_t history[Order];  // newest first
    for (unsigned j = 0; j < Order; ++j) {
        c[j] = coefs[j];
        history[j] = s[Order - 1 - j];
    }
    for (uint32_t i = Order; i < n; ++i) {
        // Older terms in two independent sums, the newest sample's term last: only one
        // multiply and a few adds wait for the sample before.
        int32_t prediction;
        if constexpr (Wide) {
            int64_t odd = 0, even = 0;
#pragma GCC unroll 12
            for (unsigned j = 1; j < Order; ++j)
                (j % 2 ? odd : even) += int64_t(c[j]) * history[j];
            prediction = int32_t((odd + even + int64_t(c[0]) * history[0]) >> shift);
        } else {
            uint32_t odd = 0, even = 0;
#pragma GCC unroll 12
            for (unsigned j = 1; j < Order; ++j)
                (j % 2 ? odd : even) += uint32_t(c[j]) * uint32_t(history[j]);
            prediction = int32_t(odd + even + uint32_t(c[0]) * uint32_t(history[0])) >> shift;
        }
        int32_t sample = int32_t(uint32_t(s[i]) + uint32_t(prediction));
        s[i] = sample;
#pragma GCC unroll 12
        for (unsigned j = Order - 1; j > 0; --j)
            history[j] = history[j - 1];
        history[0] = sample;
    }
}

template <bool Wide>
void RestoreLpcAnyOrder(int32_t* s, uint32_t n, const int32_t* c, unsigned order, unsigned shift) {
    switch (order) {
    case 1: return RestoreLpcFixedOrder<1, Wide>(s, n, c, shift);
    case 2: return RestoreLpcFixedOrder<2, Wide>(s, n, c, shift);
    case 3: return RestoreLpcFixedOrder<3, Wide>(s, n, c, shift);
    case 4: return RestoreLpcFixedOrder<4, Wide>(s, n, c, shift);
    case 5: return RestoreLpcFixedOrder<5, Wide>(s, n, c, shift);
    case 6: return RestoreLpcFixedOrder<6, Wide>(s, n, c, shift);
    case 7: return RestoreLpcFixedOrder<7, Wide>(s, n, c, shift);
    case 8: return RestoreLpcFixedOrder<8, Wide>(s, n, c, shift);
    case 9: return RestoreLpcFixedOrder<9, Wide>(s, n, c, shift);
    case 10: return RestoreLpcFixedOrder<10, Wide>(s, n, c, shift);
    case 11: return RestoreLpcFixedOrder<11, Wide>(s, n, c, shift);
    case 12: return RestoreLpcFixedOrder<12, Wide>(s, n, c, shift);
    default:
        break;
    }
    for (uint32_t i = order; i < n; ++i) {
        if constexpr (Wide) {
            int64_t sum = 0;
            for (unsigned j = 0; j < order; ++j)
                sum += int64_t(c[j]) * s[i - 1 - j];
            s[i] = int32_t(uint32_t(s[i]) + uint32_t(sum >> shift));
        } else {
            uint32_t sum = 0;
            for (unsigned j = 0; j < order; ++j)
                sum += uint32_t(c[j]) * uint32_t(s[i - 1 - j]);
            s[i] = int32_t(uint32_t(s[i]) + uint32_t(int32_t(sum) >> shift));
        }
    }
}

}  // namespace

void RestoreLpc(int32_t* s, uint32_t n, const int32_t* coefs, unsigned order, unsigned shift, bool wide) {
    if (wide)
        RestoreLpcAnyOrder<true>(s, n, coefs, order, shift);
    else
        RestoreLpcAnyOrder<false>(s, n, coefs, order, shift);
}

void RestoreFixedWide(int64_t* s, const int32_t* residual, uint32_t n, unsigned order) {
    auto* u = reinterpret_cast<uint64_t*>(s);
    for (uint32_t i = order; i < n; ++i) {
        uint64_t prediction = 0;
        switch (order) {
        case 1:
            prediction = u[i - 1];
            break;
        case 2:
            prediction = 2 * u[i - 1] - u[i - 2];
            break;
        case 3:
            prediction = 3 * (u[i - 1] - u[i - 2]) + u[i - 3];
            break;
        case 4:
            prediction = 4 * (u[i - 1] + u[i - 3]) - 6 * u[i - 2] - u[i - 4];
            break;
        default:
            break;
        }
        u[i] = uint64_t(int64_t(residual[i])) + prediction;
    }
}

void RestoreLpcWide(int64_t* s, const int32_t* residual, uint32_t n, const int32_t* coefs, unsigned order,
                    unsigned shift) {
    auto* u = reinterpret_cast<uint64_t*>(s);
    for (uint32_t i = order; i < n; ++i) {
        uint64_t sum = 0;
        for (unsigned j = 0; j < order; ++j)
            sum += uint64_t(int64_t(coefs[j])) * u[i - 1 - j];
        u[i] = uint64_t(int64_t(residual[i])) + uint64_t(int64_t(sum) >> shift);
    }
}

}  // namespace flac
