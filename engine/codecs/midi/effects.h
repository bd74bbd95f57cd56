#pragma once
// The shared reverb and chorus that the channels' sends feed.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace midi {

class Effects {
public:
    explicit Effects(uint32_t sampleRate);
    // Adds the effects of the mono sends to the stereo output.
    void Process(const float* reverbIn, const float* chorusIn, float* stereo, int frames);
    void Clear();

private:
    struct Delay {
        std::vector<float> line;
        size_t pos = 0;
        float filter = 0;
    };
    static void RunCombs(std::vector<Delay>& combs, const float* in, float* sum, int frames);
    static void RunAllpass(Delay& d, float* io, int frames);
    std::vector<Delay> combs_[2], allpasses_[2];
    std::vector<float> reverbSum_;  // one side's reverb for a block
    std::vector<float> chorus_;
    int chorusPos_ = 0;
    double chorusPhase_ = 0;
    double chorusStep_;
    float chorusDepth_, chorusCentre_;
};

}  // namespace midi
