#pragma once
// Plays a loaded module: float stereo at any rate, the song once through its order list
// (or looping), its length, and seeking by simulating from the start without mixing.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "tracker/module.h"

namespace tracker {

enum class Interpolation { Nearest, Linear, Cubic, Sinc8 };

struct RenderSettings {
    uint32_t sampleRate = 44100;
    Interpolation interpolation = Interpolation::Cubic;
    // Stereo separation in percent (100: as the format stores panning). -1: the format's
    // usual default (hard-panned Amiga formats are narrowed; S3M and IT as stored).
    int stereoSeparation = -1;
};

class PlayerState;  // the playing song's channels, voices and position

class Player {
public:
    Player(std::shared_ptr<const Module> module, const RenderSettings& settings);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Up to `frames` interleaved stereo frames; returns how many were written, fewer only at
    // the song's end (never fewer while looping).
    size_t Render(float* stereo, size_t frames);

    // After the end, start over from the restart position (or the song's first order).
    void SetLooping(bool looping);

    // One pass of the song in frames at the render rate: through the order list once,
    // following jumps and breaks, ending at the order list's end or the first row played a
    // second time. Computed once, by simulation, and kept.
    uint64_t LengthFrames();

    // The next Render starts at this frame of the song (state simulated from the start).
    // False beyond the song's length.
    bool SeekToFrame(uint64_t frame);

private:
    std::shared_ptr<const Module> module_;
    RenderSettings settings_;
    std::unique_ptr<PlayerState> state_;
};

}  // namespace tracker
