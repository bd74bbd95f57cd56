#include "envelope.h"

#include <algorithm>
#include <cmath>

namespace midi {
namespace {

constexpr float kRangeDb = 96.0f;

float DbScaleFromGain(float gain) {
    if (gain <= 1e-5f) return 0;
    return std::clamp(1.0f + 20.0f * std::log10(gain) / kRangeDb, 0.0f, 1.0f);
}

}  // namespace

float EnvelopeGain(const EnvelopeState& s) {
    if (s.stage == Stage::Done || s.stage == Stage::Delay) return 0;
    if (s.stage == Stage::Attack) return s.level;
    if (s.level <= 0) return 0;
    // 10^(dB / 20) as a power of two, which the library computes a good deal faster.
    constexpr float kLog2Of10 = 3.32192809f;
    return std::exp2((s.level - 1.0f) * (kRangeDb / 20.0f * kLog2Of10));
}

void ReleaseEnvelope(EnvelopeState& s) {
    if (s.stage == Stage::Release || s.stage == Stage::Done) return;
    if (s.stage == Stage::Attack) s.level = DbScaleFromGain(s.level);
    if (s.stage == Stage::Delay) s.level = 0;
    s.stage = Stage::Release;
    s.releaseFrom = s.level;
    s.time = 0;
}

float AdvanceEnvelope(EnvelopeState& s, const Envelope& e, float seconds) {
    while (seconds > 0 && s.stage != Stage::Done && s.stage != Stage::Sustain) {
        switch (s.stage) {
        case Stage::Delay:
        case Stage::Hold: {
            const float remaining = (s.stage == Stage::Delay ? e.delay : e.hold) - s.time;
            if (seconds < remaining) {
                s.time += seconds;
                return s.level;
            }
            seconds -= std::max(0.0f, remaining);
            s.time = 0;
            if (s.stage == Stage::Delay) s.level = 0;
            s.stage = s.stage == Stage::Delay ? Stage::Attack : Stage::Decay;
            break;
        }
        case Stage::Attack: {
            if (e.attack <= 0) {
                s.level = 1;
            } else {
                s.level += seconds / e.attack;
                seconds = s.level > 1 ? (s.level - 1) * e.attack : 0;
            }
            if (s.level >= 1) {
                s.level = 1;
                s.stage = Stage::Hold;
                s.time = 0;
            }
            break;
        }
        case Stage::Decay: {
            // The decay time is that of a fall over the whole range.
            const float target = std::clamp(e.sustain, 0.0f, 1.0f);
            if (e.decay <= 0) {
                s.level = target;
            } else {
                s.level -= seconds / e.decay;
                seconds = s.level < target ? (target - s.level) * e.decay : 0;
            }
            if (s.level <= target) {
                s.level = target;
                s.stage = target <= 0 ? Stage::Done : Stage::Sustain;
            }
            break;
        }
        case Stage::Release:
            if (e.release <= 0) s.level = 0;
            else s.level -= seconds / e.release;
            seconds = 0;
            if (s.level <= 0) {
                s.level = 0;
                s.stage = Stage::Done;
            }
            break;
        default:
            seconds = 0;
        }
    }
    return s.level;
}

}  // namespace midi
