#pragma once
// The polyphase synthesis filter bank shared by all layers: 32 subband samples in,
// 32 PCM samples out, with a history of 16 time slots per channel.
#include <cstdint>

namespace mpeg {

struct SynthesisState {
    float blocks[16][64];  // the last 16 matrixed slots; `newest` is the latest
    int newest = 0;
};

void ResetSynthesis(SynthesisState& state);

// Writes 32 samples to out[0], out[stride], ... out[31 * stride].
void Synthesize(SynthesisState& state, const float* subbands, float* out, int stride);

}  // namespace mpeg
