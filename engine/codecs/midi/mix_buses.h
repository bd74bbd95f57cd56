#pragma once
// Voices that share a pan position and effect sends (most voices of one channel) are summed
// into one mono bus first: each voice then adds to one stream instead of four, and each bus
// is spread over the output and the sends once per block.
#include <vector>

#include "midi/synth.h"
#include "voice_render.h"

namespace midi {

class MixBuses {
public:
    MixBuses();
    // Empty buses for a block of `frames` that ends in `out`.
    void Begin(const VoiceOutput& out, int frames);
    // Where a voice with these settings adds its samples, with its gain ramp.
    VoiceDestination Destination(const VoiceBlock& b);
    // Adds a voice's first `made` samples, written elsewhere (a filtered voice's).
    void Add(const float* samples, int made, const VoiceBlock& b);
    // Spreads every bus over the output and the sends.
    void Finish();

private:
    // A bus per voice at the most, so that every voice finds one.
    static constexpr int kMostBuses = kMaxVoices;
    struct Bus {
        float panL, panR, reverb, chorus;
        float* samples;
    };
    std::vector<float> storage_;
    Bus buses_[kMostBuses];
    int used_ = 0;
    int frames_ = 0;
    VoiceOutput out_{};
};

}  // namespace midi
