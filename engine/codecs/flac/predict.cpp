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

void RestoreLpc(int32_t* s, uint32_t n, const int32_t* coefs, unsigned order, unsigned shift, bool wide) {
    // Oldest first, so the sum runs over two arrays in the same direction.
    int32_t reversed[kMaxLpcOrder];
    for (unsigned j = 0; j < order; ++j)
        reversed[j] = coefs[order - 1 - j];
    if (wide) {
        for (uint32_t i = order; i < n; ++i) {
            const int32_t* past = s + i - order;
            int64_t sum = 0;
            for (unsigned j = 0; j < order; ++j)
                sum += int64_t(reversed[j]) * past[j];
            s[i] = int32_t(uint32_t(s[i]) + uint32_t(sum >> shift));
        }
        return;
    }
    auto* u = reinterpret_cast<uint32_t*>(s);
    const auto* c = reinterpret_cast<const uint32_t*>(reversed);
    for (uint32_t i = order; i < n; ++i) {
        const uint32_t* past = u + i - order;
        uint32_t sum = 0;
        for (unsigned j = 0; j < order; ++j)
            sum += c[j] * past[j];
        u[i] += uint32_t(int32_t(sum) >> shift);
    }
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
