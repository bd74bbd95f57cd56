#include "voice_render.h"

#include "midi/synth.h"

#include <algorithm>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace midi {
namespace {

constexpr double kFractionScale = 4294967296.0;  // positions in 32.32 fixed point inside a run

float Fraction(uint64_t at) { return float(int32_t(uint32_t(at) >> 8)) * (1.0f / 16777216.0f); }

#if defined(__SSE2__)
const __m64* Pair(const float* p) { return reinterpret_cast<const __m64*>(p); }
#endif

// `run` samples interpolated from `p` at `at` (32.32) onwards, which is advanced past them,
// for frames `first` onwards of the destination. Four at a time: the sample pairs are fetched
// one by one, the rest is done in vectors. Only the top 24 bits of each fraction are used: all
// that a float holds.
void InterpolateRun(const float* p, uint64_t& at, uint64_t increment, const VoiceDestination& d, int first, int run) {
    float* out = d.samples + first;
    int i = 0;
#if defined(__SSE2__)
    const uint32_t low = uint32_t(at), lowIncrement = uint32_t(increment);
    __m128i lows = _mm_setr_epi32(int(low), int(low + lowIncrement), int(low + 2 * lowIncrement),
                                  int(low + 3 * lowIncrement));
    const __m128i lowsIncrement = _mm_set1_epi32(int(4 * lowIncrement));
    const __m128 fractionScale = _mm_set1_ps(1.0f / 16777216.0f);
    const __m128 gainFrom = _mm_set1_ps(d.gainFrom), gainStep = _mm_set1_ps(d.gainStep), four = _mm_set1_ps(4);
    __m128 frame = _mm_setr_ps(float(first), float(first + 1), float(first + 2), float(first + 3));
    for (; i + 4 <= run; i += 4) {
        const float* q0 = p + (at >> 32);
        const float* q1 = p + ((at + increment) >> 32);
        const float* q2 = p + ((at + 2 * increment) >> 32);
        const float* q3 = p + ((at + 3 * increment) >> 32);
        at += 4 * increment;
        // Each pair in one load: {q0[0], q0[1], q1[0], q1[1]} and the same for q2 and q3.
        const __m128 pairs01 = _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), Pair(q0)), Pair(q1));
        const __m128 pairs23 = _mm_loadh_pi(_mm_loadl_pi(_mm_setzero_ps(), Pair(q2)), Pair(q3));
        const __m128 left = _mm_shuffle_ps(pairs01, pairs23, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 right = _mm_shuffle_ps(pairs01, pairs23, _MM_SHUFFLE(3, 1, 3, 1));
        const __m128 frac = _mm_mul_ps(_mm_cvtepi32_ps(_mm_srli_epi32(lows, 8)), fractionScale);
        lows = _mm_add_epi32(lows, lowsIncrement);
        const __m128 value = _mm_add_ps(left, _mm_mul_ps(frac, _mm_sub_ps(right, left)));
        if (d.add) {
            const __m128 gain = _mm_add_ps(gainFrom, _mm_mul_ps(gainStep, frame));
            _mm_storeu_ps(out + i, _mm_add_ps(_mm_loadu_ps(out + i), _mm_mul_ps(value, gain)));
        } else {
            _mm_storeu_ps(out + i, value);
        }
        frame = _mm_add_ps(frame, four);
    }
#endif
    for (; i < run; ++i) {
        const float* q = p + (at >> 32);
        const float value = q[0] + Fraction(at) * (q[1] - q[0]);
        if (d.add) out[i] += value * (d.gainFrom + d.gainStep * float(first + i));
        else out[i] = value;
        at += increment;
    }
}

// Interpolated samples for frames `first` onwards until frame `limit` or until the position
// reaches `end`; returns the frame reached.
int Interpolate(const float* pcm, double& pos, double step, double end, const VoiceDestination& d, int first,
                int limit) {
    int n = first;
    while (n < limit && pos < end) {
        // As many as surely stay below the end, without a test per sample.
        int run = int((end - pos) / step);
        if (run < 1) run = 1;
        if (run > limit - n) run = limit - n;
        const uint64_t base = uint64_t(pos);
        uint64_t at = uint64_t((pos - double(base)) * kFractionScale);
        const uint64_t increment = uint64_t(step * kFractionScale);
        InterpolateRun(pcm + base, at, increment, d, n, run);
        pos = double(base) + double(at) / kFractionScale;
        n += run;
    }
    return n;
}

}  // namespace

int InterpolateVoice(Voice& v, const VoiceBlock& b, const float* pcm, int frames, const VoiceDestination& d) {
    const Region& r = *v.region;
    double pos = v.position;
    int made = 0;
    if (b.looping) {
        const double length = double(r.loopEnd) - r.loopStart;
        while (made < frames) {
            if (pos >= r.loopEnd) pos -= length * std::floor((pos - r.loopStart) / length);
            made = Interpolate(pcm, pos, b.step, r.loopEnd, d, made, frames);
        }
    } else {
        made = Interpolate(pcm, pos, b.step, r.end, d, 0, frames);
        if (!d.add) std::fill(d.samples + made, d.samples + frames, 0.0f);
    }
    v.position = pos;
    return made;
}

void FilterVoices(const FilteredVoice* voices, int count, int frames) {
    int i = 0;
#if defined(__SSE2__)
    // Lanes are voices; unused lanes filter zeros with zero coefficients.
    alignas(16) float b0[4] = {}, b1[4] = {}, a1[4] = {}, a2[4] = {}, x1[4] = {}, x2[4] = {}, y1[4] = {}, y2[4] = {};
    float unused[kBlockFrames];
    if (count < kFilterLanes) std::fill(unused, unused + frames, 0.0f);
    float* samples[kFilterLanes] = {unused, unused, unused, unused};
    for (int k = 0; k < count; ++k) {
        const VoiceBlock& b = voices[k].block;
        const Voice& v = *voices[k].voice;
        b0[k] = 0.5f * b.b1, b1[k] = b.b1, a1[k] = b.a1, a2[k] = b.a2;
        x1[k] = v.filterX1, x2[k] = v.filterX2, y1[k] = v.filterY1, y2[k] = v.filterY2;
        samples[k] = voices[k].samples;
    }
    const __m128 vb0 = _mm_load_ps(b0), vb1 = _mm_load_ps(b1), va1 = _mm_load_ps(a1), va2 = _mm_load_ps(a2);
    __m128 vx1 = _mm_load_ps(x1), vx2 = _mm_load_ps(x2), vy1 = _mm_load_ps(y1), vy2 = _mm_load_ps(y2);
    // The same operations in the same order as the one-voice loop below, so both give equal results.
    auto step = [&](__m128 x) {
        const __m128 partial =
            _mm_sub_ps(_mm_add_ps(_mm_mul_ps(vb0, _mm_add_ps(x, vx2)), _mm_mul_ps(vb1, vx1)), _mm_mul_ps(va2, vy2));
        const __m128 y = _mm_sub_ps(partial, _mm_mul_ps(va1, vy1));
        vx2 = vx1, vx1 = x, vy2 = vy1, vy1 = y;
        return y;
    };
    for (; i + 4 <= frames; i += 4) {
        // Four frames of four voices, turned so that each vector holds one frame of every voice.
        __m128 s0 = _mm_loadu_ps(samples[0] + i), s1 = _mm_loadu_ps(samples[1] + i),
               s2 = _mm_loadu_ps(samples[2] + i), s3 = _mm_loadu_ps(samples[3] + i);
        _MM_TRANSPOSE4_PS(s0, s1, s2, s3);
        s0 = step(s0), s1 = step(s1), s2 = step(s2), s3 = step(s3);
        _MM_TRANSPOSE4_PS(s0, s1, s2, s3);
        _mm_storeu_ps(samples[0] + i, s0), _mm_storeu_ps(samples[1] + i, s1);
        _mm_storeu_ps(samples[2] + i, s2), _mm_storeu_ps(samples[3] + i, s3);
    }
    _mm_store_ps(x1, vx1), _mm_store_ps(x2, vx2), _mm_store_ps(y1, vy1), _mm_store_ps(y2, vy2);
    for (int k = 0; k < count; ++k) {
        Voice& v = *voices[k].voice;
        v.filterX1 = x1[k], v.filterX2 = x2[k], v.filterY1 = y1[k], v.filterY2 = y2[k];
    }
#endif
    for (int k = 0; k < count; ++k) {
        // What is left (or everything, without SSE2), one voice at a time. Direct form I, ordered
        // so that only one multiply and one subtraction wait for the previous output.
        Voice& v = *voices[k].voice;
        const VoiceBlock& b = voices[k].block;
        const float b0 = 0.5f * b.b1;
        float x1 = v.filterX1, x2 = v.filterX2, y1 = v.filterY1, y2 = v.filterY2;
        float* s = voices[k].samples;
        for (int n = i; n < frames; ++n) {
            const float x = s[n];
            const float partial = b0 * (x + x2) + b.b1 * x1 - b.a2 * y2;
            const float y = partial - b.a1 * y1;
            x2 = x1, x1 = x;
            y2 = y1, y1 = y;
            s[n] = y;
        }
        v.filterX1 = x1, v.filterX2 = x2, v.filterY1 = y1, v.filterY2 = y2;
    }
}

}  // namespace midi
