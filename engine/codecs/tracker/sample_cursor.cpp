#include "sample_cursor.h"

#include <algorithm>
#include <cmath>

namespace tracker {
namespace {

constexpr int64_t kHalfFrame = kFixedOne / 2;

// Ping-pong loops as a cycle: forward from the loop start up to the turn (on the frame past
// the loop, or half a frame sooner for IT), then back down to the start.
int64_t PingPongHalfCycle(const SampleView& view) {
    return (view.loopEnd - view.loopStart) * kFixedOne - (view.itPingPong ? kHalfFrame : 0);
}

int64_t PositiveModulo(int64_t value, int64_t modulus) {
    const int64_t rest = value % modulus;
    return rest < 0 ? rest + modulus : rest;
}

}  // namespace

SampleView ViewOfVoice(const Voice& voice) {
    SampleView view;
    const Sample& sample = *voice.sample;
    view.pcm = sample.pcm.data();
    view.channels = sample.channels == 2 ? 2 : 1;
    view.frames = std::min<int64_t>(sample.frames, int64_t(sample.pcm.size()) / view.channels);
    const bool sustained = voice.useSustainLoop && sample.sustainLoop.type != LoopType::None;
    const Loop& loop = sustained ? sample.sustainLoop : sample.loop;
    const int64_t end = std::min<int64_t>(loop.end, view.frames);
    if (loop.type != LoopType::None && loop.start < end) {
        view.loopType = loop.type;
        view.loopStart = loop.start;
        view.loopEnd = end;
        view.itPingPong = voice.itPingPong;
    }
    return view;
}

SampleCursor CursorOfVoice(const Voice& voice, const SampleView& view) {
    SampleCursor cursor;
    const double position = std::clamp(voice.position, 0.0, double(view.frames) + 1.0);
    cursor.position = int64_t(std::llround(position * double(kFixedOne)));
    const double increment = std::clamp(voice.increment, 0.0, 1024.0);
    cursor.increment = int64_t(std::llround(increment * double(kFixedOne)));
    cursor.backwards = voice.backwards && view.loopType == LoopType::PingPong;
    cursor.looped = voice.looped && view.loopType != LoopType::None && cursor.position >= view.loopStart * kFixedOne;
    return cursor;
}

void StoreCursor(const SampleCursor& cursor, Voice& voice) {
    voice.position = double(cursor.position) / double(kFixedOne);
    voice.backwards = cursor.backwards;
    voice.looped = cursor.looped;
}

bool WrapIntoSample(SampleCursor& cursor, const SampleView& view) {
    const int64_t start = view.loopStart * kFixedOne;
    const int64_t end = view.loopEnd * kFixedOne;
    switch (view.loopType) {
    case LoopType::None:
        cursor.backwards = false;
        return cursor.position < view.frames * kFixedOne;
    case LoopType::Forward:
        cursor.backwards = false;
        if (cursor.position >= end) {
            cursor.position = start + (cursor.position - end) % (end - start);
            cursor.looped = true;
        }
        return true;
    case LoopType::PingPong: {
        const int64_t half = PingPongHalfCycle(view);
        // Backwards past the forward turn happens when a sustain loop lets go behind it.
        const bool pastTurn = cursor.position > start + half || (cursor.backwards && cursor.position < start);
        if (!pastTurn) return true;
        // Distance travelled along the cycle, folded into one cycle.
        int64_t along = cursor.backwards ? 2 * half - (cursor.position - start) : cursor.position - start;
        along = PositiveModulo(along, 2 * half);
        cursor.backwards = along > half;
        cursor.looped = true;
        cursor.position = cursor.backwards ? start + 2 * half - along : start + along;
        return true;
    }
    }
    return false;
}

size_t FramesBeforeEdge(const SampleCursor& cursor, const SampleView& view, size_t limit) {
    if (cursor.increment == 0) return limit;
    // Last position still allowed before the edge.
    int64_t distance;
    if (cursor.backwards) {
        distance = cursor.position - view.loopStart * kFixedOne;
    } else if (view.loopType == LoopType::PingPong) {
        distance = view.loopStart * kFixedOne + PingPongHalfCycle(view) - cursor.position;
    } else {
        const int64_t edge = view.loopType == LoopType::Forward ? view.loopEnd : view.frames;
        distance = edge * kFixedOne - 1 - cursor.position;
    }
    if (distance < 0) return std::min<size_t>(limit, 1);
    const uint64_t frames = uint64_t(distance) / uint64_t(cursor.increment) + 1;
    return frames < limit ? size_t(frames) : limit;
}

int64_t TapFrame(const SampleView& view, int64_t index, const SampleCursor& cursor) {
    const int64_t start = view.loopStart, end = view.loopEnd, length = end - start;
    const bool beforeLoop = index < start && (cursor.looped || cursor.backwards);
    if (view.loopType == LoopType::Forward && (index >= end || beforeLoop)) {
        index = start + PositiveModulo(index - start, length);
    } else if (view.loopType == LoopType::PingPong && (index >= end || beforeLoop)) {
        // Frames before the data repeats: the frame past the loop once per cycle, or (IT)
        // the last loop frame twice.
        const int64_t cycle = view.itPingPong ? 2 * length - 1 : 2 * length;
        const int64_t along = PositiveModulo(index - start, cycle);
        const int64_t last = view.itPingPong ? length - 1 : length;
        index = along <= last ? start + along : start + cycle - along;
        if (index == end && end >= view.frames) index = end - 1;  // no frame past the sample
    }
    return index < 0 || index >= view.frames ? -1 : index;
}

}  // namespace tracker
