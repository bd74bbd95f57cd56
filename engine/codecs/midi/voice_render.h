#pragma once
// The sample loops of a voice for one block: interpolation through the loop, the low-pass
// filter (run for up to four voices at once) and the mix into the output and the effect sends.
#include "voice.h"

namespace midi {

constexpr int kFilterLanes = 4;

struct VoiceBlock {
    double step = 1;  // pool frames per output frame
    bool looping = false;
    bool filter = false;
    float b1 = 0, a1 = 0, a2 = 0;  // low-pass: b0 = b2 = b1 / 2
    float gainFrom = 0, gainTo = 0;
    float panL = 0, panR = 0;
    float reverb = 0, chorus = 0;
};

struct VoiceOutput {
    float* left;  // apart rather than interleaved, so that mixing into them vectorises plainly
    float* right;
    float* reverb;
    float* chorus;
};

// Where a voice's samples go: written as they are (for the filter), or added with the block's
// gain ramp, gainFrom + gainStep * frame (the mix of a voice that needs no filter).
struct VoiceDestination {
    float* samples;
    bool add = false;
    float gainFrom = 0, gainStep = 0;
};

// The voice's next `frames` samples; written ones are zero after the sample ends. Returns how
// many it made (fewer than `frames` when the sample ended).
int InterpolateVoice(Voice& v, const VoiceBlock& b, const float* pcm, int frames, const VoiceDestination& d);

// A voice's block waiting to be filtered.
struct FilteredVoice {
    Voice* voice;
    VoiceBlock block;
    float* samples;
    int made;
};

// Filters `count` (1 to kFilterLanes) voices' blocks in place, each with its own coefficients
// and state. Together, since one filter alone spends most of its time waiting on itself.
void FilterVoices(const FilteredVoice* voices, int count, int frames);

}  // namespace midi
