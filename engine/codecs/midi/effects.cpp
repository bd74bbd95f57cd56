#include "effects.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace midi {
namespace {

constexpr int kCombMs100[] = {253, 281, 311, 337};  // tenths of a millisecond, mutually prime-ish
constexpr int kAllpassMs100[] = {51, 126};
constexpr int kStereoSpreadMs100 = 5;
constexpr float kCombFeedback = 0.80f;
constexpr float kCombDamping = 0.3f;
constexpr float kAllpassFeedback = 0.5f;
constexpr float kReverbLevel = 0.25f;
constexpr float kChorusLevel = 0.5f;

size_t Frames(int tenthsMs, uint32_t rate) { return size_t(tenthsMs) * rate / 10000 + 1; }

}  // namespace

Effects::Effects(uint32_t rate) {
    for (int side = 0; side < 2; ++side) {
        for (int ms : kCombMs100) combs_[side].push_back({std::vector<float>(Frames(ms + side * kStereoSpreadMs100, rate))});
        for (int ms : kAllpassMs100)
            allpasses_[side].push_back({std::vector<float>(Frames(ms + side * kStereoSpreadMs100, rate))});
    }
    chorusCentre_ = 0.012f * rate;
    chorusDepth_ = 0.003f * rate;
    chorus_.assign(size_t(chorusCentre_ + chorusDepth_) + 4, 0.0f);
    chorusStep_ = 2 * std::numbers::pi * 0.4 / rate;
}

void Effects::Clear() {
    for (auto& side : combs_)
        for (Delay& d : side) d.line.assign(d.line.size(), 0.0f), d.filter = 0;
    for (auto& side : allpasses_)
        for (Delay& d : side) d.line.assign(d.line.size(), 0.0f);
    chorus_.assign(chorus_.size(), 0.0f);
}

// Runs the block through a side's combs, their outputs summed into `sum`. The combs go
// frame by frame side by side, so that their independent feedback chains overlap; their
// state stays in locals meanwhile.
void Effects::RunCombs(std::vector<Delay>& combs, const float* in, float* sum, int frames) {
    constexpr int kCombs = std::size(kCombMs100);
    float* line[kCombs];
    size_t size[kCombs], pos[kCombs];
    float filter[kCombs];
    for (int k = 0; k < kCombs; ++k)
        line[k] = combs[k].line.data(), size[k] = combs[k].line.size(), pos[k] = combs[k].pos,
        filter[k] = combs[k].filter;
    for (int i = 0; i < frames; ++i) {
        float total = 0;
        for (int k = 0; k < kCombs; ++k) {
            const float out = line[k][pos[k]];
            filter[k] = out + (filter[k] - out) * kCombDamping;
            line[k][pos[k]] = in[i] + filter[k] * kCombFeedback;
            if (++pos[k] == size[k]) pos[k] = 0;
            total += out;
        }
        sum[i] = total;
    }
    for (int k = 0; k < kCombs; ++k) combs[k].pos = pos[k], combs[k].filter = filter[k];
}

void Effects::RunAllpass(Delay& d, float* io, int frames) {
    // In stretches that do not wrap round the line: each frame reads and writes only its own
    // place, so a stretch vectorises.
    const size_t size = d.line.size();
    for (int i = 0; i < frames;) {
        const int n = int(std::min(size_t(frames - i), size - d.pos));
        float* __restrict line = d.line.data() + d.pos;
        float* __restrict x = io + i;
        for (int k = 0; k < n; ++k) {
            const float buffered = line[k];
            line[k] = x[k] + buffered * kAllpassFeedback;
            x[k] = buffered - x[k];
        }
        d.pos += size_t(n);
        if (d.pos == size) d.pos = 0;
        i += n;
    }
}

void Effects::Process(const float* reverbIn, const float* chorusIn, float* stereo, int frames) {
    // Stage by stage over the whole block (the combs, then each all-pass): the same sums as
    // frame by frame, with the state of the delays kept in locals.
    std::vector<float>& sum = reverbSum_;
    sum.resize(size_t(frames));
    for (int side = 0; side < 2; ++side) {
        RunCombs(combs_[side], reverbIn, sum.data(), frames);
        for (Delay& d : allpasses_[side]) RunAllpass(d, sum.data(), frames);
        for (int i = 0; i < frames; ++i) stereo[2 * i + side] += sum[i] * kReverbLevel;
    }
    // The LFO turns by the same angle every frame: a rotation instead of a sine per frame,
    // started afresh from the phase each block so that no error builds up.
    const float turnCos = float(std::cos(chorusStep_)), turnSin = float(std::sin(chorusStep_));
    float lfo = float(std::sin(chorusPhase_)), lfoCos = float(std::cos(chorusPhase_));
    const int size = int(chorus_.size());
    float* line = chorus_.data();
    for (int i = 0; i < frames; ++i) {
        line[chorusPos_] = chorusIn[i];
        for (int side = 0; side < 2; ++side) {
            // The line is longer than the longest delay, so one wrap suffices.
            float at = float(chorusPos_) - (chorusCentre_ + (side ? -lfo : lfo) * chorusDepth_);
            if (at < 0) at += float(size);
            const int a = int(at);
            const int b = a + 1 == size ? 0 : a + 1;
            stereo[2 * i + side] += (line[a] + (at - float(a)) * (line[b] - line[a])) * kChorusLevel;
        }
        const float next = lfo * turnCos + lfoCos * turnSin;
        lfoCos = lfoCos * turnCos - lfo * turnSin;
        lfo = next;
        if (++chorusPos_ == size) chorusPos_ = 0;
    }
    chorusPhase_ = std::fmod(chorusPhase_ + frames * chorusStep_, 2 * std::numbers::pi);
}

}  // namespace midi
