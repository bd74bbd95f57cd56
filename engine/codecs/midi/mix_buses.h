#pragma once
// Voices that share a pan position and effect sends (most voices of one channel) are summed
// into one mono bus first: each voice then adds to one stream instead of four, and each bus
// is spread over the output and the sends once per block.
#include <vector>

#include "voice_render.h"

namespace midi {

class MixBuses {
public:
    explicit MixBuses(int maxFrames);
    // Empty buses for a block of `frames` that ends in `out`.
    void Begin(const VoiceOutput& out, int frames);
    // Adds a voice's first `made` samples, with its gain ramp.
    void Add(const float* samples, int made, const VoiceBlock& b);
    // Spreads every bus over the output and the sends.
    void Finish();

private:
    static constexpr int kMostBuses = 32;
    struct Bus {
        float panL, panR, reverb, chorus;
        float* samples;
    };
    std::vector<float> storage_;
    Bus buses_[kMostBuses];
    float* spare_;  // for a voice when every bus is taken
    int used_ = 0;
    int frames_ = 0;
    VoiceOutput out_{};
};

}  // namespace midi
