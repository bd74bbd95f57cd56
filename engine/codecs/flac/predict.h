#pragma once
// The predictors that turn a residual back into samples. Arithmetic wraps instead of
// overflowing: valid streams never need it, damaged ones must not invoke undefined behaviour.
#include <cstdint>

namespace flac {

constexpr unsigned kMaxLpcOrder = 32;

// In place: s[0..order) are warm-up samples, s[order..n) hold residuals on entry.
void RestoreFixed(int32_t* s, uint32_t n, unsigned order);
// coefs[0] weighs the newest past sample. `wide` sums in 64 bits, needed when the sample
// size, coefficient precision and order could exceed 32 bits together.
void RestoreLpc(int32_t* s, uint32_t n, const int32_t* coefs, unsigned order, unsigned shift, bool wide);

// For 33-bit samples: the residual comes separately.
void RestoreFixedWide(int64_t* s, const int32_t* residual, uint32_t n, unsigned order);
void RestoreLpcWide(int64_t* s, const int32_t* residual, uint32_t n, const int32_t* coefs, unsigned order,
                    unsigned shift);

}  // namespace flac
