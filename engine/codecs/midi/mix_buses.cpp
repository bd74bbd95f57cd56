#include "mix_buses.h"

#include <algorithm>

namespace midi {
namespace {

// One pass over unaliased arrays, so that the compiler vectorises it. Most buses have no
// chorus: they skip that stream.
void Spread(const float* __restrict s, int frames, float panL, float panR, float reverbSend, float chorusSend,
            const VoiceOutput& out) {
    float* __restrict left = out.left;
    float* __restrict right = out.right;
    float* __restrict reverb = out.reverb;
    float* __restrict chorus = out.chorus;
    if (chorusSend == 0) {
        for (int i = 0; i < frames; ++i) left[i] += s[i] * panL, right[i] += s[i] * panR, reverb[i] += s[i] * reverbSend;
        return;
    }
    for (int i = 0; i < frames; ++i) {
        left[i] += s[i] * panL;
        right[i] += s[i] * panR;
        reverb[i] += s[i] * reverbSend;
        chorus[i] += s[i] * chorusSend;
    }
}

}  // namespace

MixBuses::MixBuses() : storage_(size_t(kMostBuses) * kBlockFrames) {
    for (int k = 0; k < kMostBuses; ++k) buses_[k].samples = storage_.data() + size_t(k) * kBlockFrames;
}

void MixBuses::Begin(const VoiceOutput& out, int frames) {
    out_ = out;
    frames_ = frames;
    used_ = 0;
}

VoiceDestination MixBuses::Destination(const VoiceBlock& b) {
    const float reverb = std::max(b.reverb, 0.0f), chorus = std::max(b.chorus, 0.0f);
    int k = 0;
    while (k < used_ && !(buses_[k].panL == b.panL && buses_[k].panR == b.panR && buses_[k].reverb == reverb &&
                          buses_[k].chorus == chorus))
        ++k;
    if (k == used_) {
        buses_[used_++] = {b.panL, b.panR, reverb, chorus, buses_[k].samples};
        std::fill(buses_[k].samples, buses_[k].samples + frames_, 0.0f);
    }
    return {buses_[k].samples, true, b.gainFrom, (b.gainTo - b.gainFrom) / float(frames_)};
}

void MixBuses::Add(const float* __restrict samples, int made, const VoiceBlock& b) {
    const VoiceDestination d = Destination(b);
    float* __restrict bus = d.samples;
    for (int i = 0; i < made; ++i) bus[i] += samples[i] * (d.gainFrom + d.gainStep * float(i));
}

void MixBuses::Finish() {
    for (int k = 0; k < used_; ++k)
        Spread(buses_[k].samples, frames_, buses_[k].panL, buses_[k].panR, buses_[k].reverb, buses_[k].chorus, out_);
    used_ = 0;
}

}  // namespace midi
