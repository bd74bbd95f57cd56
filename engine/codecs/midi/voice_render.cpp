#include "voice_render.h"

#include <cmath>

namespace midi {
namespace {

constexpr double kFractionScale = 4294967296.0;  // positions in 32.32 fixed point inside a run

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
        for (int i = 0; i < run; ++i) {
            const uint32_t whole = uint32_t(at >> 32);
            const float frac = float(uint32_t(at)) * (1.0f / 4294967296.0f);
            out[n + i] = p[whole] + frac * (p[whole + 1] - p[whole]);
            at += increment;
        }
        pos = double(base) + double(at) / kFractionScale;
        n += run;
    }
    return n;
}

// Separate loops over unaliased arrays, so that the compiler vectorises them.
void Accumulate(float* __restrict to, const float* __restrict from, int n, float gain, float slope) {
    for (int i = 0; i < n; ++i) to[i] += from[i] * (gain + slope * float(i));
}

void AccumulateStereo(float* __restrict to, const float* __restrict from, int n, float gain, float slope, float l,
                      float r) {
    for (int i = 0; i < n; ++i) {
        const float x = from[i] * (gain + slope * float(i));
        to[2 * i] += x * l;
        to[2 * i + 1] += x * r;
    }
}

void MixVoice(const float* s, int made, int frames, const VoiceBlock& b, float panL, float panR, const VoiceOutput& out) {
    const float dg = (b.gainTo - b.gainFrom) / float(frames);
    AccumulateStereo(out.stereo, s, made, b.gainFrom, dg, panL, panR);
    if (b.reverb > 0) Accumulate(out.reverb, s, made, b.gainFrom * b.reverb, dg * b.reverb);
    if (b.chorus > 0) Accumulate(out.chorus, s, made, b.gainFrom * b.chorus, dg * b.chorus);
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
