#pragma once
// Plays a song through a synthesizer: frame-exact event times, the length from the tempo
// map, and seeking by replaying controller and program changes without sound.
#include <cstddef>
#include <cstdint>

#include "midi/song.h"
#include "midi/synth.h"

namespace midi {

class Sequencer {
public:
    // Song and synthesizer must outlive the sequencer.
    Sequencer(const Song& song, Synth& synth, uint32_t sampleRate);
    uint64_t LengthFrames() const { return length_; }
    // Frames of stereo floats; fewer than asked at the end.
    size_t Render(float* stereo, size_t frames);
    void Seek(uint64_t frame);
    uint64_t Position() const { return position_; }
    uint64_t FrameOf(const Event& e) const;

private:
    const Song& song_;
    Synth& synth_;
    uint32_t rate_;
    uint64_t length_ = 0;
    uint64_t position_ = 0;
    size_t next_ = 0;
};

}  // namespace midi
