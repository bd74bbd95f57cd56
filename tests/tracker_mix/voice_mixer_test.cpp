// The mixer where the reference comparison cannot look: call chunking, the end of a sample,
// stereo samples, the sinc kernel, ramps, skipping and the filter at hostile settings.
#include "voice_mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tracker {
namespace {

// A rising ramp 0, 1/64, 2/64 ...: every frame tells where it was read.
Sample RampSample(uint32_t frames, LoopType loop = LoopType::None, uint32_t loopStart = 0, uint32_t loopEnd = 0) {
    Sample sample;
    sample.frames = frames;
    for (uint32_t i = 0; i < frames; ++i) sample.pcm.push_back(float(i) / 64);
    sample.loop = {loop, loopStart, loopEnd};
    return sample;
}

Sample SineSample(double rate, double toneHz) {
    Sample sine = RampSample(uint32_t(rate));
    for (uint32_t i = 0; i < sine.frames; ++i) sine.pcm[i] = float(std::sin(2 * M_PI * toneHz * i / rate));
    return sine;
}

Voice PlayingVoice(const Sample& sample, double increment, double position = 0) {
    Voice voice;
    voice.sample = &sample;
    voice.active = true;
    voice.position = position;
    voice.increment = increment;
    voice.left = voice.targetLeft = 1;
    voice.right = voice.targetRight = 0.5f;
    return voice;
}

std::vector<float> MixLeft(Voice& voice, Interpolation interpolation, size_t frames, size_t callFrames) {
    std::vector<float> stereo(2 * frames, 0.0f), left;
    for (size_t done = 0; done < frames; done += callFrames)
        MixVoice(voice, interpolation, stereo.data() + 2 * done, std::min(callFrames, frames - done));
    for (size_t i = 0; i < frames; ++i) left.push_back(stereo[2 * i]);
    return left;
}

// The player mixes in pieces of any size; a loop turn or an interpolation tap across a
// piece's edge must come out as in one piece.
TEST(VoiceMixer, ChunkingDoesNotChangeTheOutput) {
    for (bool itTurn : {false, true}) {
        for (Interpolation interpolation : {Interpolation::Nearest, Interpolation::Linear, Interpolation::Cubic, Interpolation::Sinc8}) {
            Sample looped = RampSample(20, LoopType::PingPong, 5, 13);
            for (uint32_t i = 0; i < looped.frames; ++i) looped.pcm[i] = std::sin(float(i) * 0.7f) + float(i) / 64;
            Voice chunked = PlayingVoice(looped, 0.75, 4), whole = chunked;
            chunked.itPingPong = whole.itPingPong = itTurn;
            EXPECT_EQ(MixLeft(chunked, interpolation, 300, 7), MixLeft(whole, interpolation, 300, 1000)) << int(interpolation);
        }
    }
}

TEST(VoiceMixer, UnloopedSampleEndsAndReadsSilencePastItsEnd) {
    const Sample sample = RampSample(10);
    Voice voice = PlayingVoice(sample, 0.5);
    const std::vector<float> got = MixLeft(voice, Interpolation::Linear, 30, 1000);
    EXPECT_FLOAT_EQ(got[18], 9.0f / 64);         // the last frame
    EXPECT_FLOAT_EQ(got[19], 0.5f * 9.0f / 64);  // half way to the silence after it
    EXPECT_EQ(got[20], 0.0f);
    EXPECT_FALSE(voice.active);
}

TEST(VoiceMixer, StereoSampleKeepsBothChannels) {
    Sample stereo = RampSample(64);
    stereo.channels = 2;
    stereo.pcm.clear();
    for (int i = 0; i < 64; ++i) stereo.pcm.insert(stereo.pcm.end(), {i / 64.0f, 0.3f});  // a line, a constant
    for (Interpolation interpolation : {Interpolation::Linear, Interpolation::Cubic, Interpolation::Sinc8}) {
        Voice voice = PlayingVoice(stereo, 0.37, 5);
        std::vector<float> out(200, 0.0f);
        MixVoice(voice, interpolation, out.data(), 100);
        for (size_t i = 0; i < 100; ++i) {
            if (interpolation != Interpolation::Sinc8) EXPECT_NEAR(out[2 * i], (5 + 0.37 * i) / 64, 1e-5) << i;
            EXPECT_NEAR(out[2 * i + 1], 0.15f, 1e-5) << i;  // right gain 0.5
        }
    }
}

// Worst error of a sine sampled at 44.1 kHz and played at 48 kHz, against the ideal sine.
double SineError(Interpolation interpolation, double toneHz) {
    const Sample sine = SineSample(44100, toneHz);
    Voice voice = PlayingVoice(sine, 44100.0 / 48000, 100);
    const std::vector<float> got = MixLeft(voice, interpolation, 4800, 512);
    double worst = 0;
    for (size_t i = 0; i < got.size(); ++i)
        worst = std::max(worst, std::fabs(got[i] - std::sin(2 * M_PI * toneHz * (100 + i * 44100.0 / 48000) / 44100)));
    return worst;
}

TEST(VoiceMixer, SincFollowsASineCloserThanCubic) {
    EXPECT_LT(SineError(Interpolation::Sinc8, 8000), SineError(Interpolation::Cubic, 8000) / 4);
}

TEST(VoiceMixer, StartsAndStopsRampWithoutSteps) {
    // libopenmpt's ramps at 48 kHz, measured: 17 frames up at a note start, 46 down.
    EXPECT_EQ(AttackRampFrames(48000), 17);
    EXPECT_EQ(DefaultRampFrames(48000), 46);
    Sample loud = RampSample(1000, LoopType::Forward, 0, 1000);
    std::fill(loud.pcm.begin(), loud.pcm.end(), 1.0f);
    Voice voice = PlayingVoice(loud, 1.0);
    voice.left = voice.right = 0;
    voice.rampFrames = AttackRampFrames(48000);
    std::vector<float> got = MixLeft(voice, Interpolation::Cubic, 100, 10);
    voice.fadingOutToStop = true;
    voice.rampFrames = DefaultRampFrames(48000);
    const std::vector<float> stop = MixLeft(voice, Interpolation::Cubic, 100, 10);
    got.insert(got.end(), stop.begin(), stop.end());
    for (size_t i = 1; i < got.size(); ++i) EXPECT_LE(std::fabs(got[i] - got[i - 1]), 1.0f / 16) << i;
    EXPECT_TRUE(got[0] < 0.07f && got[99] == 1.0f && got[146] == 0.0f && !voice.active);
}

TEST(VoiceMixer, SkippingEndsWhereMixingEnds) {
    const Sample sample = RampSample(50, LoopType::PingPong, 10, 17);
    for (double increment : {0.3, 1.0, 2.9, 40.0}) {
        Voice mixed = PlayingVoice(sample, increment), skipped = mixed;
        MixLeft(mixed, Interpolation::Sinc8, 1001, 64);
        for (int i = 0; i < 7; ++i) SkipVoice(skipped, 143);
        EXPECT_NEAR(skipped.position, mixed.position, 1e-9) << increment;
        EXPECT_EQ(skipped.backwards, mixed.backwards) << increment;
    }
}

double ToneLevel(int cutoff, int resonance, double toneHz) {
    const Sample sine = SineSample(48000, toneHz);
    Voice voice = PlayingVoice(sine, 1.0);
    ComputeFilter(cutoff, resonance, 48000, voice.filter);
    const std::vector<float> got = MixLeft(voice, Interpolation::Linear, 9600, 256);
    return std::fabs(*std::max_element(got.begin() + 4800, got.end(), [](float a, float b) { return std::fabs(a) < std::fabs(b); }));
}

TEST(VoiceMixer, ResonantFilterAtItsLimits) {
    EXPECT_NEAR(ToneLevel(127, 0, 10000), 1.0, 1e-6);                          // open: no filter at all
    EXPECT_GT(ToneLevel(60, 127, 110 * std::pow(2, 0.25 + 60 / 24.0)), 1.9);  // full resonance, saturated at 2
    // Stable at a low rate with the corner past Nyquist: the poles inside the unit circle.
    ResonantFilter filter;
    ComputeFilter(126, 127, 8000, filter);
    EXPECT_TRUE(std::fabs(filter.b1) < 1 && std::fabs(filter.b0) < 1 - filter.b1);
}

}  // namespace
}  // namespace tracker
