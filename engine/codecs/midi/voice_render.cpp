#include "voice_render.h"

#include <algorithm>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace midi {
namespace {

constexpr double kFractionScale = 4294967296.0;  // positions in 32.32 fixed point inside a run

float Fraction(uint64_t at) { return float(int32_t(uint32_t(at) >> 8)) * (1.0f / 16777216.0f); }

// `run` samples interpolated from `p` at `at` (32.32) onwards, which is advanced past them.
// Four at a time: the sample pairs are fetched one by one, the rest is done in vectors. Only
// the top 24 bits of each fraction are used: all that a float holds.
void InterpolateRun(const float* p, uint64_t& at, uint64_t increment, float* out, int run) {
    int i = 0;
#if defined(__SSE2__)
    const uint32_t low = uint32_t(at), lowIncrement = uint32_t(increment);
    __m128i lows = _mm_setr_epi32(int(low), int(low + lowIncrement), int(low + 2 * lowIncrement),
                                  int(low + 3 * lowIncrement));
    const __m128i lowsIncrement = _mm_set1_epi32(int(4 * lowIncrement));
    const __m128 fractionScale = _mm_set1_ps(1.0f / 16777216.0f);
    for (; i + 4 <= run; i += 4) {
        const float* q0 = p + (at >> 32);
        const float* q1 = p + ((at + increment) >> 32);
        const float* q2 = p + ((at + 2 * increment) >> 32);
        const float* q3 = p + ((at + 3 * increment) >> 32);
        at += 4 * increment;
        const __m128 left = _mm_setr_ps(q0[0], q1[0], q2[0], q3[0]);
        const __m128 right = _mm_setr_ps(q0[1], q1[1], q2[1], q3[1]);
        const __m128 frac = _mm_mul_ps(_mm_cvtepi32_ps(_mm_srli_epi32(lows, 8)), fractionScale);
        lows = _mm_add_epi32(lows, lowsIncrement);
        _mm_storeu_ps(out + i, _mm_add_ps(left, _mm_mul_ps(frac, _mm_sub_ps(right, left))));
    }
#endif
    for (; i < run; ++i) {
        const float* q = p + (at >> 32);
        out[i] = q[0] + Fraction(at) * (q[1] - q[0]);
        at += increment;
    }
}

// Interpolated samples until `limit` frames are made or the position reaches `end`;
// returns how many were made.
int Interpolate(const float* pcm, double& pos, double step, double end, float* out, int limit) {
    int n = 0;
    while (n < limit && pos < end) {
        // As many as surely stay below the end, without a test per sample.
        int run = int((end - pos) / step);
        if (run < 1) run = 1;
        if (run > limit - n) run = limit - n;
        const uint64_t base = uint64_t(pos);
        uint64_t at = uint64_t((pos - double(base)) * kFractionScale);
        const uint64_t increment = uint64_t(step * kFractionScale);
        const float* p = pcm + base;
        InterpolateRun(p, at, increment, out + n, run);
        pos = double(base) + double(at) / kFractionScale;
        n += run;
    }
    return n;
}

// One pass over the voice's samples for the output and both sends, over unaliased arrays so
// that the compiler vectorises it. A send of 0 adds zeros: cheaper than a second pass.
void MixVoice(const float* __restrict s, int made, int frames, const VoiceBlock& b, float panL, float panR,
              const VoiceOutput& out) {
    const float gain = b.gainFrom, dg = (b.gainTo - b.gainFrom) / float(frames);
    float* __restrict left = out.left;
    float* __restrict right = out.right;
    float* __restrict reverb = out.reverb;
    float* __restrict chorus = out.chorus;
    const float reverbSend = std::max(b.reverb, 0.0f), chorusSend = std::max(b.chorus, 0.0f);
    for (int i = 0; i < made; ++i) {
        const float x = s[i] * (gain + dg * float(i));
        left[i] += x * panL;
        right[i] += x * panR;
        reverb[i] += x * reverbSend;
        chorus[i] += x * chorusSend;
    }
}

}  // namespace

bool RenderVoice(Voice& v, const VoiceBlock& b, const float* pcm, int frames, const VoiceOutput& out) {
    const Region& r = *v.region;
    float* s = out.scratch;
    double pos = v.position;
    int made = 0;
    bool ended = false;
    if (b.looping) {
        const double length = double(r.loopEnd) - r.loopStart;
        while (made < frames) {
            if (pos >= r.loopEnd) pos -= length * std::floor((pos - r.loopStart) / length);
            made += Interpolate(pcm, pos, b.step, r.loopEnd, s + made, frames - made);
        }
    } else {
        made = Interpolate(pcm, pos, b.step, r.end, s, frames);
        ended = made < frames;
    }
    v.position = pos;
    if (b.filter) {
        // Direct form I, ordered so that only one multiply and one subtraction wait for the
        // previous output: the other terms do not hold up the recursion.
        const float b0 = 0.5f * b.b1;
        float x1 = v.filterX1, x2 = v.filterX2, y1 = v.filterY1, y2 = v.filterY2;
        for (int i = 0; i < made; ++i) {
            const float x = s[i];
            const float partial = b0 * (x + x2) + b.b1 * x1 - b.a2 * y2;
            const float y = partial - b.a1 * y1;
            x2 = x1, x1 = x;
            y2 = y1, y1 = y;
            s[i] = y;
        }
        v.filterX1 = x1, v.filterX2 = x2, v.filterY1 = y1, v.filterY2 = y2;
    }
    MixVoice(s, made, frames, b, v.panL, v.panR, out);
    return ended;
}

}  // namespace midi
