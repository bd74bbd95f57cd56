// Each tick, every sounding voice gets its gains, pitch and filter for the mixer: the
// channel's values (for its current note), envelopes, fade-out, auto-vibrato, global and
// mixing volume, panning with the stereo separation.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "channel_effects.h"
#include "modulators.h"
#include "periods.h"

namespace tracker {

// Output gain per format, so that modules of each format play about as loud as the
// reference player makes them (relative to a full-scale sample at full volume).
// Output gain per format, matched to the reference player's default levels (a full-scale
// sample at full volume, panned centre, plays at this amplitude per side).
static double FormatGain(const SongState& s) {
    const Module& module = *s.module;
    switch (module.type) {
    case ModuleType::Mod: return 0.25 * 4 / std::max(4, module.channels);
    case ModuleType::Xm: return 0.1875;
    case ModuleType::S3m: return (module.mixVolume & 127 ? (module.mixVolume & 127) : 48) / 256.0;
    case ModuleType::It: return (module.mixVolume ? module.mixVolume : 48) / 256.0;
    }
    return 0.25;
}

static int StereoSeparation(const SongState& s) {
    return s.settings.stereoSeparation >= 0 ? s.settings.stereoSeparation : 100;
}

static void TakeChannelValues(SongState& s, PlayingVoice& voice) {
    Channel& ch = s.channels[voice.channel];
    int volume = ch.volume + ch.volumeDelta;
    if (ch.tremorMute || ch.muted) volume = 0;
    voice.volume = std::clamp(volume, 0, 64);
    voice.channelVolume = ch.channelVolume;
    voice.pan = std::clamp(ch.pan + ch.panDelta, 0, 256);
    voice.surround = ch.surround;
    int period = ch.period;
    if (ch.glissando && ch.cell.effect == Effect::TonePorta) period = RoundPeriodToSemitone(*s.module, ch.sample, period);
    period = PeriodPlusSemitones(*s.module, period, ch.arpeggioNotes);
    if (period > 0) period = std::max(1, period + ch.periodDelta);
    voice.period = period;
    voice.cutoff = ch.cutoff;
    voice.resonance = ch.resonance;
    if (voice.mix.sample != ch.sample && ch.sample && IsMod(s)) {
        // ProTracker swaps the sample of a playing note at its next loop.
    }
}

static void UpdateVoice(SongState& s, PlayingVoice& voice) {
    const Module& module = *s.module;
    if (voice.mix.fadingOutToStop) {
        if (voice.mix.targetLeft != 0 || voice.mix.targetRight != 0 || voice.mix.rampFrames <= 0) {
            voice.mix.targetLeft = voice.mix.targetRight = 0;
            voice.mix.rampFrames = DefaultRampFrames(s.settings.sampleRate);
        }
        return;
    }
    if (!voice.background) TakeChannelValues(s, voice);
    const Sample* sample = voice.mix.sample;
    if (!sample) return;
    const Instrument* instrument = voice.instrument;
    bool itStyle = IsIt(s);

    double envelopeVolume = 1.0;
    int pan = voice.pan;
    double pitchLinear = 0;
    int cutoff = voice.cutoff, resonance = voice.resonance;
    bool filterEnvelope = false;
    if (instrument) {
        ModuleType type = module.type;
        const Envelope& volumeEnvelope = instrument->volumeEnvelope;
        if (volumeEnvelope.enabled && voice.volumeEnvelopeOn && !volumeEnvelope.points.empty()) {
            envelopeVolume = EnvelopeTick(volumeEnvelope, voice.volumeCursor, voice.keyOn, type, 64) / 64.0;
            if (itStyle) {
                EnvelopeEnd end = ItVolumeEnvelopeEnd(volumeEnvelope, voice.volumeCursor);
                if (end == EnvelopeEnd::Cut) StopVoice(voice);
                else if (end == EnvelopeEnd::Fade) voice.fading = true;
            }
        }
        const Envelope& panEnvelope = instrument->panEnvelope;
        if (panEnvelope.enabled && voice.panEnvelopeOn && !panEnvelope.points.empty()) {
            float value = EnvelopeTick(panEnvelope, voice.panCursor, voice.keyOn, type, 0);  // -32..32
            int room = 128 - std::abs(pan - 128);
            pan += static_cast<int>(value * room / 32);
        }
        const Envelope& pitchEnvelope = instrument->pitchEnvelope;
        if (pitchEnvelope.enabled && voice.pitchEnvelopeOn && !pitchEnvelope.points.empty()) {
            float value = EnvelopeTick(pitchEnvelope, voice.pitchCursor, voice.keyOn, type, 0);
            if (pitchEnvelope.isFilter) {
                filterEnvelope = true;
                cutoff = EnvelopeFilterCutoff(cutoff >= 0 ? cutoff : 127, value);
            } else {
                pitchLinear += EnvelopePitchSemitones(value) * 64.0;
            }
        }
        if (itStyle && instrument->pitchPanSeparation) {
            pan += (voice.note - 1 - instrument->pitchPanCenter) * instrument->pitchPanSeparation / 2;
        }
        if (voice.fading) {
            voice.fadeVolume -= instrument->fadeout * 2;
            if (voice.fadeVolume <= 0) {
                voice.fadeVolume = 0;
                StopVoice(voice);
            }
        }
    } else if (voice.fading) {
        voice.fadeVolume = 0;
        StopVoice(voice);
    }
    pan = std::clamp(pan, 0, 256);

    if (IsXm(s) || itStyle) {
        float offset = AutoVibratoTick(*sample, voice.autoVibrato, voice.keyOn, module.type);
        // XM with Amiga frequencies gives period units (negated): near enough in 1/64 semitones.
        pitchLinear += offset;
    }

    double volume = voice.volume / 64.0 * envelopeVolume * voice.fadeVolume / 65536.0;
    if (itStyle) {
        volume *= voice.channelVolume / 64.0 * sample->globalVolume / 64.0;
        if (instrument) volume *= instrument->globalVolume / 128.0 * voice.randomVolumeFactor / 256.0;
        volume *= s.globalVolume / 128.0;
    } else {
        volume *= s.globalVolume / 64.0;
    }
    volume *= FormatGain(s);
    if (IsIt(s) && !module.stereo) pan = 128;
    if (IsS3m(s) && !module.stereo) pan = 128;
    double spread = (pan - 128) / 128.0 * StereoSeparation(s) / 100.0;
    spread = std::clamp(spread, -1.0, 1.0);
    float left = static_cast<float>(volume * (1.0 - spread));
    float right = static_cast<float>(volume * (1.0 + spread));
    // Surround: centred, with the right side in opposite phase, as the reference mixes it.
    if (voice.surround) right = -right;
    if (left != voice.mix.targetLeft || right != voice.mix.targetRight) {
        voice.mix.targetLeft = left;
        voice.mix.targetRight = right;
        voice.mix.rampFrames = DefaultRampFrames(s.settings.sampleRate);
    }

    voice.mix.useSustainLoop = voice.keyOn && sample->sustainLoop.type != LoopType::None;
    double frequency = PeriodFrequency(module, sample, voice.period, pitchLinear);
    voice.mix.increment = frequency / s.settings.sampleRate;

    bool wantFilter = (cutoff >= 0 && cutoff < 127) || resonance > 0 || filterEnvelope;
    if (itStyle && wantFilter) {
        ComputeFilter(std::clamp(cutoff < 0 ? 127 : cutoff, 0, 127), std::clamp(resonance < 0 ? 0 : resonance, 0, 127),
                      s.settings.sampleRate, voice.mix.filter);
        if (filterEnvelope) voice.mix.filter.enabled = true;
    } else {
        voice.mix.filter.enabled = false;
    }
}

void UpdateVoices(SongState& s) {
    for (int i = 0; i < s.voicesUsed; ++i) {
        if (s.voices[i].mix.active) UpdateVoice(s, s.voices[i]);
    }
}

}  // namespace tracker
