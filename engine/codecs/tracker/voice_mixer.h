#pragma once
// Renders one playing sample ("voice") into a stereo float buffer: interpolation,
// forward, ping-pong and sustain loops, stereo samples, click-free volume ramps and IT's
// resonant filter. The player sets the fields each tick; the mixer moves the position.
#include <cstddef>
#include <cstdint>

#include "tracker/module.h"
#include "tracker/player.h"

namespace tracker {

struct ResonantFilter {
    bool enabled = false;
    float a0 = 1, b0 = 0, b1 = 0;  // y = a0*x + b0*y1 + b1*y2
    bool highpass = false;
    float y1[2] = {}, y2[2] = {};  // per sample channel
};

// Cutoff 0..127 and resonance 0..127 as IT stores them (the envelope's offset already
// added), at the output rate: the coefficients the filter uses. Like IT, it switches the
// filter off when fully open without resonance (cutoff 127, resonance 0); a filter
// envelope that must keep it on sets `enabled` again afterwards. Stable at every rate.
void ComputeFilter(int cutoff, int resonance, uint32_t outputRate, ResonantFilter& filter);

struct Voice {
    const Sample* sample = nullptr;  // null: silent, nothing to mix
    bool active = false;
    double position = 0;       // frames into the sample (fraction = between frames)
    double increment = 0;      // source frames per output frame (sample rate / output rate)
    bool backwards = false;    // ping-pong: moving towards the loop start
    // Set by the mixer once the loop has wrapped or turned: from then on interpolation taps
    // before the loop start read the loop's end (or its mirror), not the data before it.
    // Cleared by the mixer whenever the position is before the loop start.
    bool looped = false;
    bool useSustainLoop = false;  // IT: while the key is held
    // Ping-pong turn at the loop end. False (MOD, XM, S3M): on the frame just past the loop
    // (at increment 1: ... e-2, e-1, e, e-1 ...). True (IT, as its software mixer does): half
    // a frame sooner, a cycle one frame shorter (... e-2, e-1, e-1, e-2 ...).
    bool itPingPong = false;
    // Target gains per output channel; the mixer ramps from the current gains to these
    // over `rampFrames` output frames, so changes never click.
    float targetLeft = 0, targetRight = 0;
    float left = 0, right = 0;
    int rampFrames = 0;        // set by the player when the targets change
    // Ramps to zero over `rampFrames` (none: at once), then inactive (note cut, stolen voice).
    bool fadingOutToStop = false;
    ResonantFilter filter;
};

// Frames of the short ramp for volume changes and stops: 0.95 ms, as libopenmpt ramps
// gains down. Its note starts ramp up quicker, over AttackRampFrames (0.36 ms); a player
// that wants its attacks sets that for a voice starting from silence.
int DefaultRampFrames(uint32_t outputRate);
int AttackRampFrames(uint32_t outputRate);

// Adds `frames` frames of the voice into `stereo` (interleaved), advancing its position;
// stops the voice (active = false) at a sample end without loop or at a finished fade.
void MixVoice(Voice& voice, Interpolation interpolation, float* stereo, size_t frames);

// Advances the position as MixVoice would without producing sound (seeking, length).
void SkipVoice(Voice& voice, size_t frames);

}  // namespace tracker
