#include "effects.h"

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

void Effects::Process(const float* reverbIn, const float* chorusIn, float* stereo, int frames) {
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < frames; ++i) {
            const float in = reverbIn[i];
            float sum = 0;
            for (Delay& d : combs_[side]) {
                const float out = d.line[d.pos];
                d.filter = out + (d.filter - out) * kCombDamping;
                d.line[d.pos] = in + d.filter * kCombFeedback;
                if (++d.pos == d.line.size()) d.pos = 0;
                sum += out;
            }
            for (Delay& d : allpasses_[side]) {
                const float buffered = d.line[d.pos];
                d.line[d.pos] = sum + buffered * kAllpassFeedback;
                if (++d.pos == d.line.size()) d.pos = 0;
                sum = buffered - sum;
            }
            stereo[2 * i + side] += sum * kReverbLevel;
        }
    }
    const size_t size = chorus_.size();
    for (int i = 0; i < frames; ++i) {
        chorus_[chorusPos_] = chorusIn[i];
        const double lfo = std::sin(chorusPhase_);
        chorusPhase_ += chorusStep_;
        if (chorusPhase_ > 2 * std::numbers::pi) chorusPhase_ -= 2 * std::numbers::pi;
        for (int side = 0; side < 2; ++side) {
            const double delay = chorusCentre_ + (side ? -lfo : lfo) * chorusDepth_;
            double at = double(chorusPos_) - delay;
            if (at < 0) at += double(size);
            const size_t a = size_t(at);
            const float f = float(at - double(a));
            const float x = chorus_[a % size] + f * (chorus_[(a + 1) % size] - chorus_[a % size]);
            stereo[2 * i + side] += x * kChorusLevel;
        }
        if (++chorusPos_ == size) chorusPos_ = 0;
    }
}

}  // namespace midi
