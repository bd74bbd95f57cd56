#include "envelope.h"

#include <algorithm>
#include <cmath>

namespace tracker {
namespace {

int PointTick(const Envelope& envelope, int point) {
    const int last = int(envelope.points.size()) - 1;
    return envelope.points[std::clamp(point, 0, last)].tick;
}

void AdvanceXm(const Envelope& envelope, EnvelopeState& state, bool keyOn) {
    if (envelope.sustain && keyOn && state.tick == PointTick(envelope, envelope.sustainStart)) return;
    ++state.tick;
    if (envelope.loop && state.tick == PointTick(envelope, envelope.loopEnd)) {
        // FT2 leaves the loop once the key is off when its end is the sustain point.
        const bool released = envelope.sustain && envelope.loopEnd == envelope.sustainStart && !keyOn;
        if (!released) state.tick = PointTick(envelope, envelope.loopStart);
    }
}

void AdvanceIt(const Envelope& envelope, EnvelopeState& state, bool keyOn) {
    ++state.tick;
    if (envelope.sustain && keyOn) {
        if (state.tick > PointTick(envelope, envelope.sustainEnd)) state.tick = PointTick(envelope, envelope.sustainStart);
    } else if (envelope.loop) {
        if (state.tick > PointTick(envelope, envelope.loopEnd)) state.tick = PointTick(envelope, envelope.loopStart);
    }
}

}  // namespace

float EnvelopeValueAt(const Envelope& envelope, int tick) {
    const std::vector<EnvelopePoint>& points = envelope.points;
    if (points.empty()) return 0;
    if (tick <= points.front().tick) return points.front().value;
    for (size_t i = 1; i < points.size(); ++i) {
        if (tick > points[i].tick) continue;
        const EnvelopePoint& a = points[i - 1];
        const EnvelopePoint& b = points[i];
        if (b.tick <= a.tick) return b.value;
        return a.value + float(b.value - a.value) * float(tick - a.tick) / float(b.tick - a.tick);
    }
    return points.back().value;
}

float EnvelopeTick(const Envelope& envelope, EnvelopeState& state, bool keyOn, ModuleType type, float neutral) {
    if (!envelope.enabled || envelope.points.empty()) return neutral;
    const float value = EnvelopeValueAt(envelope, state.tick);
    const int lastTick = envelope.points.back().tick;
    if (type == ModuleType::It) {
        AdvanceIt(envelope, state, keyOn);
    } else {
        AdvanceXm(envelope, state, keyOn);
    }
    // A tick past the last point only comes from a path no loop or sustain turns back.
    state.finished = state.tick > lastTick;
    state.tick = std::min(state.tick, lastTick + 1);
    return value;
}

void EnvelopeSetTick(EnvelopeState& state, int tick) {
    state.tick = std::max(0, tick);
    state.finished = false;
}

EnvelopeEnd ItVolumeEnvelopeEnd(const Envelope& envelope, const EnvelopeState& state) {
    if (!envelope.enabled || envelope.points.empty() || !state.finished) return EnvelopeEnd::Playing;
    return envelope.points.back().value == 0 ? EnvelopeEnd::Cut : EnvelopeEnd::Fade;
}

float EnvelopePitchSemitones(float value) {
    return value / 2;
}

int EnvelopeFilterCutoff(int cutoff, float value) {
    return int(std::lround(cutoff * (std::clamp(value, -32.0f, 32.0f) + 32) / 64));
}

}  // namespace tracker
