#pragma once
// The polyphase synthesis filter bank shared by all layers: 32 subband samples in,
// 32 PCM samples out, with a history of 16 time slots per channel.
#include <cstdint>

namespace mpeg {

struct SynthesisState {
    // The last 16 matrixed slots, each kept twice (at `newest` and 16 further on), so that
    // the 16 slots from `newest` lie side by side and the windowing needs no wrap-around.
    // Aligned for the windowing's vector loads.
    alignas(16) float blocks[32][64];
    int newest = 0;
};

void ResetSynthesis(SynthesisState& state);

// `count` time slots of each channel: slot s of channel ch reads its 32 subband samples at
// subbands[ch][s], subbands[ch][s + inStride], ... The samples go to out interleaved, slot
// after slot (32 * channels floats each).
void SynthesizeSlots(SynthesisState* states, int channels, const float* const subbands[2], int inStride, int count,
                     float* out);

}  // namespace mpeg
