#include "midi/sequencer.h"

#include <algorithm>
#include <cmath>

namespace midi {
namespace {

// Longer songs (only damaged ones) end here.
constexpr double kMaxSeconds = 24.0 * 3600;

}  // namespace

Sequencer::Sequencer(const Song& song, Synth& synth, uint32_t rate) : song_(song), synth_(synth), rate_(rate) {
    length_ = uint64_t(std::llround(std::min(song.lastEventSeconds + kReleaseTailSeconds, kMaxSeconds) * rate));
}

uint64_t Sequencer::FrameOf(const Event& e) const {
    return uint64_t(std::llround(std::min(e.seconds, kMaxSeconds) * rate_));
}

size_t Sequencer::Render(float* stereo, size_t frames) {
    size_t done = 0;
    frames = size_t(std::min<uint64_t>(frames, length_ - std::min(length_, position_)));
    while (done < frames) {
        while (next_ < song_.events.size() && FrameOf(song_.events[next_]) <= position_) {
            const Event& e = song_.events[next_++];
            synth_.Send(e.status, e.data1, e.data2);
        }
        uint64_t until = position_ + (frames - done);
        if (next_ < song_.events.size()) until = std::min(until, FrameOf(song_.events[next_]));
        const size_t n = size_t(until - position_);
        synth_.Render(stereo + 2 * done, n);
        done += n;
        position_ += n;
    }
    return done;
}

void Sequencer::Seek(uint64_t frame) {
    synth_.Reset();
    position_ = std::min(frame, length_);
    next_ = 0;
    // Everything before the target but notes: programs, controllers, bends, resets.
    for (; next_ < song_.events.size() && FrameOf(song_.events[next_]) < position_; ++next_) {
        const Event& e = song_.events[next_];
        const uint8_t kind = e.status & 0xF0;
        if (kind != 0x80 && kind != 0x90) synth_.Send(e.status, e.data1, e.data2);
    }
}

}  // namespace midi
