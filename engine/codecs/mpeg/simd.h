#pragma once
// Eight-lane kernels for processors with AVX2 and FMA, chosen at run time; every kernel
// has a plain version that any processor runs.
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define MPEG_HAVE_AVX2 1
#define MPEG_AVX2_FUNCTION __attribute__((target("avx2,fma")))
#endif

namespace mpeg {

// Tests switch this off to run the plain kernels on any machine.
inline bool& SimdAllowed() {
    static bool allowed = true;
    return allowed;
}

inline bool HasAvx2Fma() {
#ifdef MPEG_HAVE_AVX2
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    }();
    return has && SimdAllowed();
#else
    return false;
#endif
}

}  // namespace mpeg
