#pragma once
// The sample loop of one voice for one block: interpolation through the loop, the filter, and
// the mix into the output and the effect sends with a gain ramp.
#include "voice.h"

namespace midi {

struct VoiceBlock {
    double step = 1;  // pool frames per output frame
    bool looping = false;
    bool filter = false;
    float b1 = 0, a1 = 0, a2 = 0;  // low-pass: b0 = b2 = b1 / 2
    float gainFrom = 0, gainTo = 0;
    float reverb = 0, chorus = 0;
};

struct VoiceOutput {
    float* left;  // apart rather than interleaved, so that mixing into them vectorises plainly
    float* right;
    float* reverb;
    float* chorus;
    float* scratch;  // a block of mono samples
};

// Adds the voice to the output; true when its sample ended.
bool RenderVoice(Voice& v, const VoiceBlock& b, const float* pcm, int frames, const VoiceOutput& out);

}  // namespace midi
