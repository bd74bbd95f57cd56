// Channel state, voice allocation and the per-block mixing of voices.
#include "midi/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstring>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "effects.h"
#include "mix_buses.h"
#include "voice.h"
#include "voice_render.h"

namespace midi {
namespace {

#if defined(__SSE__)
constexpr unsigned kFlushToZero = 0x8000, kSubnormalsAreZero = 0x0040;  // MXCSR bits
#endif
constexpr float kMasterGain = 0.35f;
// The modulation wheel and channel pressure deepen the vibrato, as banks expect by default.
constexpr float kModWheelVibratoCents = 50;
constexpr float kPressureVibratoCents = 50;
constexpr float kNoFilterCents = 13500;
constexpr float kLowestCutoffCents = 1500;
constexpr float kMostLfoBoostDb = 12;
// A released voice whose loudest possible gain (controllers at full, the LFO at its peak)
// is below -100 dB can no longer be heard: it ends there instead of at the envelope's end.
constexpr float kInaudibleGain = 1e-5f;

float Squared(int value) { return float(value * value) / (127.0f * 127.0f); }
float DbToGain(float db) { return std::pow(10.0f, db / 20.0f); }
const float kMostLfoBoostGain = DbToGain(kMostLfoBoostDb);
float CentsToHz(float cents) { return 8.176f * std::exp2(cents / 1200.0f); }

// An LFO's phase in [0, 1) moved on; a block moves it by less than a turn but for the fastest.
float AdvancePhase(float phase, float turns) {
    phase += turns;
    if (phase < 1.0f) return phase;
    return phase < 2.0f ? phase - 1.0f : std::fmod(phase, 1.0f);
}

// Hold and decay times scaled by key. Banks may ask for any amount per key; a factor past
// 2^10 either way is already far beyond any real bank's range and would overflow the envelope.
float KeyScaling(int key, float centsPerKey) {
    return float(std::exp2(std::clamp((60 - key) * double(centsPerKey) / 1200.0, -10.0, 10.0)));
}

// The LFOs' shape: a triangle that starts at 0 and rises, so that a delayed LFO sets in smoothly.
float Triangle(float phase) {
    const float p = phase < 0.75f ? phase : phase - 1.0f;
    return 1.0f - 4.0f * std::fabs(p - 0.25f);
}

bool VoiceIsReleased(const Voice& v) { return !v.keyDown && !v.sustained; }

// Low-pass biquad coefficients (b0 = b2 = b1 / 2).
struct LowPass {
    float b1 = 0, a1 = 0, a2 = 0;
    bool on = false;
};

LowPass MakeLowPass(float cents, float qDb, uint32_t rate) {
    LowPass f;
    const float hz = std::min(CentsToHz(cents), 0.45f * float(rate));
    if (cents >= kNoFilterCents || hz >= 0.45f * float(rate)) return f;
    const float q = std::max(0.5f, DbToGain(qDb) * 0.7071f);
    const float w = 2.0f * float(std::numbers::pi) * hz / float(rate);
    const float alpha = std::sin(w) / (2.0f * q);
    const float a0 = 1.0f + alpha;
    f.b1 = (1.0f - std::cos(w)) / a0;
    f.a1 = -2.0f * std::cos(w) / a0;
    f.a2 = (1.0f - alpha) / a0;
    f.on = true;
    return f;
}

}  // namespace

Synth::Synth(const Bank& bank, const SynthOptions& options)
    : bank_(bank), options_(options), voices_(kMaxVoices),
      effects_(std::make_unique<Effects>(options.sampleRate)),
      left_(kBlockFrames), right_(kBlockFrames), reverbIn_(kBlockFrames), chorusIn_(kBlockFrames),
      scratch_(kFilterLanes * kBlockFrames), buses_(std::make_unique<MixBuses>()) {
    Reset();
}

Synth::~Synth() = default;

void Synth::Reset() {
    for (int c = 0; c < kChannels; ++c) {
        channels_[c] = ChannelState();
        channels_[c].drums = c == kDrumChannel;
    }
    Silence();
}

void Synth::Silence() {
    for (Voice& v : voices_) v.active = false;
    effects_->Clear();
}

int Synth::ActiveVoices() const {
    return int(std::count_if(voices_.begin(), voices_.end(), [](const Voice& v) { return v.active; }));
}

void Synth::Send(uint8_t status, uint8_t data1, uint8_t data2) {
    if (status == kReset) {
        for (Voice& v : voices_) {
            if (v.active) ReleaseEnvelope(v.volume), v.keyDown = v.sustained = false;
        }
        for (int c = 0; c < kChannels; ++c) {
            channels_[c] = ChannelState();
            channels_[c].drums = c == kDrumChannel;
        }
        return;
    }
    const int channel = status & 0x0F;
    ChannelState& c = channels_[channel];
    switch (status & 0xF0) {
    case 0x90:
        if (data2) {
            NoteOn(channel, data1, data2);
            break;
        }
        [[fallthrough]];
    case 0x80:
        NoteOff(channel, data1);
        break;
    case 0xB0:
        Control(channel, data1, data2);
        break;
    case 0xC0:
        c.program = data1;
        break;
    case 0xE0:
        c.pitchBend = data1 | data2 << 7;
        break;
    case 0xD0:
        c.pressure = data1;
        break;
    default:
        break;  // key pressure: no instrument here answers to it
    }
}

void Synth::Control(int channel, int controller, int value) {
    ChannelState& c = channels_[channel];
    switch (controller) {
    case 0: c.bankMsb = value; break;
    case 32: c.bankLsb = value; break;
    case 1: c.modulation = value; break;
    case 7: c.volume = value; break;
    case 10: c.pan = value; break;
    case 11: c.expression = value; break;
    case 91: c.reverb = value; break;
    case 93: c.chorus = value; break;
    case 64:
        c.sustain = value >= 64;
        if (!c.sustain) ReleaseSustained(channel);
        break;
    case 101: c.rpnMsb = value; break;
    case 100: c.rpnLsb = value; break;
    case 99:
    case 98:
        c.rpnMsb = c.rpnLsb = 127;  // an NRPN: data entry no longer goes to an RPN
        break;
    case 6: DataEntry(c, value, -1); break;
    case 38: DataEntry(c, -1, value); break;
    case 120:
        for (Voice& v : voices_)
            if (v.active && v.channel == channel) v.active = false;
        break;
    case 121: {
        const ChannelState old = c;
        c = ChannelState();
        c.program = old.program;
        c.bankMsb = old.bankMsb;
        c.bankLsb = old.bankLsb;
        c.volume = old.volume;
        c.pan = old.pan;
        c.reverb = old.reverb;
        c.chorus = old.chorus;
        c.drums = old.drums;
        c.bendRangeCents = old.bendRangeCents;
        c.fineTuneCents = old.fineTuneCents;
        c.coarseTuneSemitones = old.coarseTuneSemitones;
        ReleaseSustained(channel);
        break;
    }
    case 123: case 124: case 125: case 126: case 127:
        for (Voice& v : voices_) {
            if (v.active && v.channel == channel && (v.keyDown || v.sustained)) {
                v.keyDown = v.sustained = false;
                ReleaseEnvelope(v.volume);
                ReleaseEnvelope(v.modulation);
            }
        }
        break;
    default:
        break;
    }
}

// msb or lsb is -1 when that half did not change.
void Synth::DataEntry(ChannelState& c, int msb, int lsb) {
    if (c.rpnMsb != 0) return;
    switch (c.rpnLsb) {
    case 0: {
        const int semis = msb >= 0 ? msb : c.bendRangeCents / 100;
        const int cents = lsb >= 0 ? lsb : (msb >= 0 ? 0 : c.bendRangeCents % 100);
        c.bendRangeCents = std::min(semis, 24) * 100 + std::min(cents, 99);
        break;
    }
    case 1: {
        // Fine tuning: 14 bits over -100..+100 cents; the MSB alone counts as the upper bits.
        const int old = int(std::lround(c.fineTuneCents * 8192 / 100)) + 8192;
        const int value = msb >= 0 ? (msb << 7 | (old & 0x7F)) : ((old & ~0x7F) | lsb);
        c.fineTuneCents = float(value - 8192) * 100.0f / 8192.0f;
        break;
    }
    case 2:
        if (msb >= 0) c.coarseTuneSemitones = msb - 64;
        break;
    default:
        break;
    }
}

void Synth::ReleaseSustained(int channel) {
    for (Voice& v : voices_) {
        if (v.active && v.channel == channel && v.sustained) {
            v.sustained = false;
            ReleaseEnvelope(v.volume);
            ReleaseEnvelope(v.modulation);
        }
    }
}

Voice* Synth::FreeVoice() {
    Voice* best = nullptr;
    for (Voice& v : voices_) {
        if (!v.active) return &v;
        // Released voices first, oldest of them; then the quietest.
        if (!best) {
            best = &v;
            continue;
        }
        const bool vr = VoiceIsReleased(v), br = VoiceIsReleased(*best);
        if (vr != br) {
            if (vr) best = &v;
        } else if (vr ? v.order < best->order : v.lastGain < best->lastGain) {
            best = &v;
        }
    }
    return best;
}

void Synth::NoteOn(int channel, int key, int velocity) {
    const ChannelState& c = channels_[channel];
    const Preset* preset = FindPreset(bank_, c.drums ? kDrumBank : c.bankMsb, c.program);
    if (!preset) return;
    ++noteCounter_;
    for (const Region& r : preset->regions) {
        if (key < r.keyLo || key > r.keyHi || velocity < r.velLo || velocity > r.velHi) continue;
        if (r.exclusiveClass) {
            for (Voice& v : voices_)
                if (v.active && v.channel == channel && v.region->exclusiveClass == r.exclusiveClass &&
                    v.order != noteCounter_)
                    v.active = false;
        }
        Voice* v = FreeVoice();
        *v = Voice();
        v->active = true;
        v->channel = channel;
        v->key = key;
        v->velocity = velocity;
        v->region = &r;
        v->order = noteCounter_;
        v->keyDown = true;
        v->position = r.start;
        v->baseCents = (key - r.rootKey) * r.keyTrackCents + r.tuneCents +
                       1200.0 * std::log2(double(r.sampleRate) / options_.sampleRate);
        v->velocityGain = Squared(velocity) * DbToGain(-r.attenuationDb);
        v->volEnv = r.volEnv;
        v->volEnv.hold *= KeyScaling(key, r.keyToVolHoldCents);
        v->volEnv.decay *= KeyScaling(key, r.keyToVolDecayCents);
    }
}

void Synth::NoteOff(int channel, int key) {
    const bool held = channels_[channel].sustain;
    for (Voice& v : voices_) {
        if (!v.active || v.channel != channel || v.key != key || !v.keyDown) continue;
        v.keyDown = false;
        if (held) {
            v.sustained = true;
        } else if (!v.rendered) {
            v.releaseAfterFirstBlock = true;  // a note of no length still sounds its start
        } else {
            ReleaseEnvelope(v.volume);
            ReleaseEnvelope(v.modulation);
        }
    }
}

void Synth::Render(float* stereo, size_t frames) {
#if defined(__SSE__)
    // Reverb tails and filters fading out reach subnormal floats, which the processor handles
    // a hundred times slower; flushed to zero instead (the caller's mode is restored).
    const unsigned callerMode = _mm_getcsr();
    _mm_setcsr(callerMode | kFlushToZero | kSubnormalsAreZero);
#endif
    while (frames > 0) {
        const int n = int(std::min<size_t>(frames, kBlockFrames));
        RenderBlock(stereo, n);
        stereo += 2 * n;
        frames -= size_t(n);
    }
#if defined(__SSE__)
    _mm_setcsr(callerMode);
#endif
}

// The voice's controls for the next block: LFOs, envelopes, pitch, filter, gain and pan.
VoiceBlock Synth::PrepareBlock(Voice& v, float blockSeconds) {
    const Region& r = *v.region;
    const ChannelState& c = channels_[v.channel];
    const float modEnv = v.modulation.stage == Stage::Done ? 0.0f : v.modulation.level;
    const float vibDepth = r.vibLfoToPitch + kModWheelVibratoCents * c.modulation / 127.0f +
                           kPressureVibratoCents * c.pressure / 127.0f;
    const float vib = vibDepth != 0 && v.age >= r.vibLfo.delay ? Triangle(v.vibPhase) : 0.0f;
    const float modLfo = v.age >= r.modLfo.delay ? Triangle(v.modPhase) : 0.0f;
    if (v.age >= r.vibLfo.delay) v.vibPhase = AdvancePhase(v.vibPhase, r.vibLfo.frequency * blockSeconds);
    if (v.age >= r.modLfo.delay) v.modPhase = AdvancePhase(v.modPhase, r.modLfo.frequency * blockSeconds);
    v.age += blockSeconds;

    double cents = v.baseCents + (c.pitchBend - 8192) * c.bendRangeCents / 8192.0 + c.fineTuneCents +
                   100.0 * c.coarseTuneSemitones + modEnv * r.modEnvToPitch + vib * vibDepth +
                   modLfo * r.modLfoToPitch;
    if (!std::isfinite(cents)) cents = v.baseCents;
    // Most blocks keep the pitch and the cutoff of the one before: nothing to compute then.
    if (cents != v.lastCents) {
        v.lastCents = cents;
        // In single precision: a ten-thousandth of a cent, at a fraction of the cost.
        v.step = std::exp2(float(std::clamp(cents, -12000.0, 12000.0) / 1200.0));
    }
    VoiceBlock b;
    b.step = v.step;
    // Modulated below some 20 Hz the filter would only lose precision.
    const float cutoff =
        std::max(kLowestCutoffCents, r.filterCents + modEnv * r.modEnvToFilter + modLfo * r.modLfoToFilter);
    if (cutoff < kNoFilterCents) {
        if (cutoff != v.lastCutoff) {
            v.lastCutoff = cutoff;
            const LowPass f = MakeLowPass(cutoff, r.filterQDb, options_.sampleRate);
            v.filterOn = f.on;
            v.b1 = f.b1, v.a1 = f.a1, v.a2 = f.a2;
        }
        b.filter = v.filterOn;
        b.b1 = v.b1, b.a1 = v.a1, b.a2 = v.a2;
    }

    AdvanceEnvelope(v.modulation, r.modEnv, blockSeconds);
    AdvanceEnvelope(v.volume, v.volEnv, blockSeconds);
    v.envelopeGain = EnvelopeGain(v.volume);
    float gain = v.envelopeGain * v.velocityGain * Squared(c.volume) * Squared(c.expression) * kMasterGain;
    if (r.modLfoToVolumeDb != 0) gain *= DbToGain(std::clamp(modLfo * r.modLfoToVolumeDb, -96.0f, kMostLfoBoostDb));
    const float pan = std::clamp(r.pan + float(c.pan - 64) / 127.0f, -0.5f, 0.5f);
    if (pan != v.pan || !v.panSet) {
        v.pan = pan;
        v.panSet = true;
        v.panL = std::cos((pan + 0.5f) * float(std::numbers::pi) / 2);
        v.panR = std::sin((pan + 0.5f) * float(std::numbers::pi) / 2);
    }
    b.panL = v.panL, b.panR = v.panR;
    b.reverb = options_.effects ? std::min(1.0f, r.reverbSend + c.reverb / 127.0f * 0.5f) : 0.0f;
    b.chorus = options_.effects ? std::min(1.0f, r.chorusSend + c.chorus / 127.0f * 0.5f) : 0.0f;
    // Without attack the first sample sounds at full gain, else a transient would be smeared.
    const bool instant = !v.rendered && v.volEnv.delay <= 0 && v.volEnv.attack <= 0;
    b.gainFrom = instant ? gain : v.lastGain;
    b.gainTo = gain;
    v.rendered = true;
    v.lastGain = gain;
    b.looping = r.loops && r.loopEnd > r.loopStart && (!r.loopsUntilRelease || v.keyDown || v.sustained);
    return b;
}

void Synth::RenderBlock(float* out, int frames) {
    std::fill(left_.begin(), left_.begin() + frames, 0.0f);
    std::fill(right_.begin(), right_.begin() + frames, 0.0f);
    std::fill(reverbIn_.begin(), reverbIn_.begin() + frames, 0.0f);
    std::fill(chorusIn_.begin(), chorusIn_.begin() + frames, 0.0f);
    const float blockSeconds = float(frames) / float(options_.sampleRate);
    buses_->Begin({left_.data(), right_.data(), reverbIn_.data(), chorusIn_.data()}, frames);
    // Voices that filter wait for others to be filtered with them; the rest mix at once.
    FilteredVoice waiting[kFilterLanes];
    int waitingCount = 0;
    auto filterAndMix = [&] {
        FilterVoices(waiting, waitingCount, frames);
        for (int k = 0; k < waitingCount; ++k) buses_->Add(waiting[k].samples, waiting[k].made, waiting[k].block);
        waitingCount = 0;
    };
    for (Voice& v : voices_) {
        if (!v.active) continue;
        const VoiceBlock b = PrepareBlock(v, blockSeconds);
        int made;
        if (!b.filter) {
            made = InterpolateVoice(v, b, bank_.pcm.data(), frames, buses_->Destination(b));
        } else {
            float* samples = scratch_.data() + waitingCount * kBlockFrames;
            made = InterpolateVoice(v, b, bank_.pcm.data(), frames, {samples});
            waiting[waitingCount++] = {&v, b, samples, made};
            if (waitingCount == kFilterLanes) filterAndMix();
        }
        if (v.releaseAfterFirstBlock) {
            v.releaseAfterFirstBlock = false;
            ReleaseEnvelope(v.volume);
            ReleaseEnvelope(v.modulation);
            v.envelopeGain = EnvelopeGain(v.volume);
        }
        const bool inaudible = v.volume.stage == Stage::Release &&
                               v.envelopeGain * v.velocityGain * kMasterGain * kMostLfoBoostGain < kInaudibleGain;
        if (made < frames || inaudible || v.volume.stage == Stage::Done) v.active = false;
    }
    if (waitingCount > 0) filterAndMix();
    buses_->Finish();
    for (int i = 0; i < frames; ++i) out[2 * i] = left_[i], out[2 * i + 1] = right_[i];
    if (options_.effects) effects_->Process(reverbIn_.data(), chorusIn_.data(), out, frames);
}

}  // namespace midi
