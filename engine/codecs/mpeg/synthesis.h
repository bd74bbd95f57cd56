#pragma once
// The polyphase synthesis filter bank shared by all layers: 32 subband samples in,
// 32 PCM samples out, with a history of 16 time slots per channel.
#include <cstdint>

namespace mpeg {

struct SynthesisState {
    // The last 16 matrixed slots, each kept twice (at `newest` and 16 further on), so that
    // the 16 slots from `newest` lie side by side and the windowing needs no wrap-around.
    float blocks[32][64];
    int newest = 0;
};

void ResetSynthesis(SynthesisState& state);

// Reads the 32 subband samples at subbands[0], subbands[inStride], ... and writes 32
// samples to out[0], out[stride], ... out[31 * stride].
void Synthesize(SynthesisState& state, const float* subbands, int inStride, float* out, int stride);

// One time slot of each channel (subbands[ch] read as above), the samples interleaved in out.
void SynthesizeSlot(SynthesisState* states, int channels, const float* const subbands[2], int inStride,
                    float* out);

}  // namespace mpeg
