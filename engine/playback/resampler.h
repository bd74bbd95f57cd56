#pragma once
// Streaming sample-rate conversion through a ResampleFilter. Input goes in and output
// comes out in blocks of any size; the output is the same whatever the blocks were.
// Output frame 0 lies at input frame 0 (the filter looks ahead half its length, with
// silence before the start), and after Finish the output runs on until the input's
// last frame: N input frames give ceil(N * outRate / inRate) output frames (for the
// filter's ratio). InitResampler allocates; nothing else does, so the rest may run
// on the output thread.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "playback/resample_filter.h"

namespace engine {

struct Resampler {
    std::shared_ptr<const ResampleFilter> filter;
    int channels = 0;
    size_t capacity = 0;       // frames per channel in `input`
    std::vector<float> input;  // one row of `capacity` frames per channel
    size_t start = 0;          // first frame of the next output's window
    size_t end = 0;            // frames held
    uint32_t phase = 0;        // the next output lies phase / phases after its window's middle frame
    uint64_t inputFrames = 0;   // taken since the reset
    uint64_t outputFrames = 0;  // given since the reset
    bool finished = false;      // no input follows: the end is padded with silence
};

void InitResampler(Resampler& r, std::shared_ptr<const ResampleFilter> filter, int channels);
// Forgets all input and output, as at a seek.
void ResetResampler(Resampler& r);
// Takes up to `frames` interleaved frames; returns how many were taken (fewer when the
// room for input is full: pull output first).
size_t ResamplerPush(Resampler& r, const float* interleaved, size_t frames);
// The input has ended; the output goes on to its full length.
void FinishResampler(Resampler& r);
// Writes up to maxFrames interleaved frames; fewer when more input is needed or the end is reached.
size_t ResamplerPull(Resampler& r, float* interleaved, size_t maxFrames);
// Finished and every output frame given.
bool ResamplerDrained(const Resampler& r);
// The input frames (since the reset) that the output given so far has reached.
uint64_t ResamplerInputReached(const Resampler& r);

}  // namespace engine
