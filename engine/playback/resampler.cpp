#include "playback/resampler.h"

#include <algorithm>
#include <cstring>

namespace engine {
namespace {

// Room for input beyond one window: how much a push can take at once.
constexpr size_t kInputBlock = 1024;

// Eight running sums, so that the compiler keeps them in vector registers; the
// filter's length is a multiple of 8.
float Dot(const float* a, const float* b, int count) {
    float s[8] = {};
    for (int k = 0; k < count; k += 8) {
        for (int j = 0; j < 8; ++j) s[j] += a[k + j] * b[k + j];
    }
    return ((s[0] + s[4]) + (s[1] + s[5])) + ((s[2] + s[6]) + (s[3] + s[7]));
}

float* Row(Resampler& r, int channel) { return &r.input[static_cast<size_t>(channel) * r.capacity]; }

// Moves the frames still needed to the front of each row.
void Compact(Resampler& r) {
    if (r.start == 0) return;
    const size_t kept = r.end - r.start;
    for (int c = 0; c < r.channels; ++c) {
        float* row = Row(r, c);
        std::memmove(row, row + r.start, kept * sizeof(float));
    }
    r.start = 0;
    r.end = kept;
}

// After the end of the input: silence up to a whole window.
void PadWithSilence(Resampler& r) {
    Compact(r);
    const size_t pad = r.start + static_cast<size_t>(r.filter->taps) - r.end;
    for (int c = 0; c < r.channels; ++c) std::fill(Row(r, c) + r.end, Row(r, c) + r.end + pad, 0.0f);
    r.end += pad;
}

uint64_t OutputLength(const Resampler& r) {
    const ResampleFilter& f = *r.filter;
    return (r.inputFrames * f.phases + f.step - 1) / f.step;
}

}  // namespace

void InitResampler(Resampler& r, std::shared_ptr<const ResampleFilter> filter, int channels) {
    r.filter = std::move(filter);
    r.channels = channels;
    r.capacity = static_cast<size_t>(r.filter->taps) + kInputBlock;
    r.input.assign(r.capacity * channels, 0.0f);
    ResetResampler(r);
}

void ResetResampler(Resampler& r) {
    // Silence before the first frame, so that the first output is centred on it.
    const size_t leadIn = static_cast<size_t>(r.filter->taps) / 2 - 1;
    for (int c = 0; c < r.channels; ++c) std::fill(Row(r, c), Row(r, c) + leadIn, 0.0f);
    r.start = 0;
    r.end = leadIn;
    r.phase = 0;
    r.inputFrames = r.outputFrames = 0;
    r.finished = false;
}

size_t ResamplerPush(Resampler& r, const float* in, size_t frames) {
    if (r.end + frames > r.capacity) Compact(r);
    frames = std::min(frames, r.capacity - r.end);
    for (int c = 0; c < r.channels; ++c) {
        float* row = Row(r, c) + r.end;
        for (size_t i = 0; i < frames; ++i) row[i] = in[i * r.channels + c];
    }
    r.end += frames;
    r.inputFrames += frames;
    return frames;
}

void FinishResampler(Resampler& r) { r.finished = true; }

size_t ResamplerPull(Resampler& r, float* out, size_t maxFrames) {
    const ResampleFilter& f = *r.filter;
    const size_t taps = static_cast<size_t>(f.taps);
    size_t produced = 0;
    while (produced < maxFrames && !ResamplerDrained(r)) {
        if (r.end - r.start < taps) {
            if (!r.finished) break;
            PadWithSilence(r);
        }
        const float* weights = &f.coeffs[static_cast<size_t>(r.phase) * taps];
        for (int c = 0; c < r.channels; ++c) out[c] = Dot(weights, Row(r, c) + r.start, f.taps);
        out += r.channels;
        ++produced;
        ++r.outputFrames;
        r.phase += f.step;
        r.start += r.phase / f.phases;
        r.phase %= f.phases;
    }
    return produced;
}

bool ResamplerDrained(const Resampler& r) { return r.finished && r.outputFrames >= OutputLength(r); }

uint64_t ResamplerInputReached(const Resampler& r) {
    const ResampleFilter& f = *r.filter;
    return std::min(r.inputFrames, r.outputFrames * f.step / f.phases);
}

}  // namespace engine
