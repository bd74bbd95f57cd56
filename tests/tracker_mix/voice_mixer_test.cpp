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
    std::vector<float> stereo(2 * frames, 0.0f);
    for (size_t done = 0; done < frames; done += callFrames)
        MixVoice(voice, interpolation, stereo.data() + 2 * done, std::min(callFrames, frames - done));
    std::vector<float> left;
    for (size_t i = 0; i < frames; ++i) left.push_back(stereo[2 * i]);
    return left;
}

// Frames the loop plays, written out by hand: the data before the loop end, then the loop
// (or its backward and forward legs) over and over. Ping-pong turns as libopenmpt plays
// them at increment 1: on the frame past the loop (the last one again where the sample
// ends), or for IT on the last loop frame, played twice.
std::vector<float> Unrolled(const Sample& sample, size_t length, bool itTurn) {
    const Loop& loop = sample.loop;
    std::vector<float> values(sample.pcm.begin(), sample.pcm.begin() + loop.end);
    const uint32_t backFrom = loop.end - (itTurn ? 1 : 0);
    while (values.size() < length) {
        for (uint32_t i = backFrom; loop.type == LoopType::PingPong && i > loop.start; --i)
            values.push_back(sample.pcm[std::min(i, sample.frames - 1)]);
        values.insert(values.end(), sample.pcm.begin() + loop.start, sample.pcm.begin() + loop.end);
    }
    return values;
}

Sample SineSample(double rate, double toneHz) {
    Sample sine = RampSample(uint32_t(rate));
    for (uint32_t i = 0; i < sine.frames; ++i) sine.pcm[i] = float(std::sin(2 * M_PI * toneHz * i / rate));
    return sine;
}

TEST(VoiceMixer, LoopsPlayTheUnrolledSequence) {
    const struct {
        const char* name;
        LoopType type;
        double increment;
        Interpolation interpolation;
        size_t callFrames;  // the player's chunking must not change the result
        bool itTurn = false;
        uint32_t frames = 20;
    } cases[] = {
        {"forward, step 3/4", LoopType::Forward, 0.75, Interpolation::Linear, 7},
        {"forward, step 2.5", LoopType::Forward, 2.5, Interpolation::Linear, 1000},
        {"forward, cubic", LoopType::Forward, 0.625, Interpolation::Cubic, 13},
        {"forward, sinc", LoopType::Forward, 0.625, Interpolation::Sinc8, 1000},
        {"ping-pong, step 3/4", LoopType::PingPong, 0.75, Interpolation::Linear, 5},
        {"ping-pong, step 1.75", LoopType::PingPong, 1.75, Interpolation::Linear, 1000},
        {"ping-pong, cubic", LoopType::PingPong, 0.625, Interpolation::Cubic, 1000},
        {"IT ping-pong, step 3/4", LoopType::PingPong, 0.75, Interpolation::Linear, 9, true},
        {"IT ping-pong, sinc", LoopType::PingPong, 1.3, Interpolation::Sinc8, 1000, true},
        {"ping-pong to the sample's end, step 1", LoopType::PingPong, 1.0, Interpolation::Nearest, 3, false, 13},
        {"IT ping-pong, step 1", LoopType::PingPong, 1.0, Interpolation::Nearest, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Sample looped = RampSample(c.frames, c.type, 5, 13);
        for (uint32_t i = 0; i < looped.frames; ++i) looped.pcm[i] = std::sin(float(i) * 0.7f) + float(i) / 64;
        // Expected: the same interpolation over the unrolled data, where no loop exists.
        // Both start late enough for the taps before the sample to stay out.
        Sample straight = RampSample(0);
        straight.pcm = Unrolled(looped, 400, c.itTurn);
        straight.frames = uint32_t(straight.pcm.size());
        Voice voice = PlayingVoice(looped, c.increment, 4.0);
        voice.itPingPong = c.itTurn;
        Voice reference = PlayingVoice(straight, c.increment, 4.0);
        const std::vector<float> got = MixLeft(voice, c.interpolation, 120, c.callFrames);
        const std::vector<float> want = MixLeft(reference, c.interpolation, 120, 1000);
        for (size_t i = 0; i < got.size(); ++i) ASSERT_NEAR(got[i], want[i], 2e-5) << "frame " << i;
    }
}

TEST(VoiceMixer, UnloopedSampleEndsAndReadsSilencePastItsEnd) {
    const Sample sample = RampSample(10);
    Voice voice = PlayingVoice(sample, 0.5);
    const std::vector<float> got = MixLeft(voice, Interpolation::Linear, 30, 1000);
    EXPECT_FLOAT_EQ(got[18], 9.0f / 64);          // the last frame
    EXPECT_FLOAT_EQ(got[19], 0.5f * 9.0f / 64);   // half way to the silence after it
    EXPECT_EQ(got[20], 0.0f);
    EXPECT_FALSE(voice.active);
}

TEST(VoiceMixer, SustainLoopHoldsUntilReleasedThenTheLoopPlays) {
    Sample sample = RampSample(40, LoopType::Forward, 20, 30);
    sample.sustainLoop = {LoopType::Forward, 4, 8};
    Voice voice = PlayingVoice(sample, 1.0);
    voice.useSustainLoop = true;
    std::vector<float> got = MixLeft(voice, Interpolation::Nearest, 12, 1000);
    EXPECT_FLOAT_EQ(got[11], 7.0f / 64);  // 0..7, 4..7
    voice.useSustainLoop = false;
    got = MixLeft(voice, Interpolation::Nearest, 30, 1000);
    EXPECT_FLOAT_EQ(got[0], 4.0f / 64);   // where the sustain loop had wrapped to
    EXPECT_FLOAT_EQ(got[25], 29.0f / 64); // on past its end: 4..29
    EXPECT_FLOAT_EQ(got[26], 20.0f / 64); // then the loop
}

TEST(VoiceMixer, CubicReproducesAStraightLineBothChannelsOfAStereoSampleKept) {
    Sample stereo = RampSample(64);
    stereo.channels = 2;
    stereo.pcm.clear();
    for (int i = 0; i < 64; ++i) stereo.pcm.insert(stereo.pcm.end(), {i / 64.0f, 0.3f});  // a line, a constant
    for (Interpolation interpolation : {Interpolation::Cubic, Interpolation::Sinc8}) {
        Voice voice = PlayingVoice(stereo, 0.37, 5);
        std::vector<float> out(200, 0.0f);
        MixVoice(voice, interpolation, out.data(), 100);
        for (size_t i = 0; i < 100; ++i) {
            if (interpolation == Interpolation::Cubic) {
                EXPECT_NEAR(out[2 * i], (5 + 0.37 * i) / 64, 1e-5);
            }
            EXPECT_NEAR(out[2 * i + 1], 0.15f, 1e-5);  // right gain 0.5; sinc keeps a constant too
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

TEST(VoiceMixer, BetterInterpolationFollowsASineCloser) {
    EXPECT_LT(SineError(Interpolation::Cubic, 1000), 2e-3);
    EXPECT_GT(SineError(Interpolation::Linear, 1000), 2e-3);
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
    double peak = 0;
    for (size_t i = 4800; i < got.size(); ++i) peak = std::max(peak, double(std::fabs(got[i])));
    return peak;
}

TEST(VoiceMixer, ResonantFilter) {
    EXPECT_NEAR(ToneLevel(127, 0, 10000), 1.0, 1e-6);  // open: no filter at all
    // Gains libopenmpt gives a 1045 Hz tone at 48 kHz (probe IT instruments with these
    // initial cutoffs and resonances).
    const struct {
        int cutoff, resonance;
        double gain;
    } measured[] = {{64, 0, 0.647}, {32, 0, 0.1019}, {0, 0, 0.0157}, {32, 72, 0.110}};
    for (const auto& m : measured) EXPECT_NEAR(ToneLevel(m.cutoff, m.resonance, 1045.375), m.gain, m.gain * 0.02);
    EXPECT_GT(ToneLevel(60, 127, 110 * std::pow(2, 0.25 + 60 / 24.0)), 1.9);  // resonance, saturated at 2
    // Stable at a low rate with the corner past Nyquist: the poles inside the unit circle.
    ResonantFilter filter;
    ComputeFilter(126, 127, 8000, filter);
    EXPECT_TRUE(std::fabs(filter.b1) < 1 && std::fabs(filter.b0) < 1 - filter.b1);
}

}  // namespace
}  // namespace tracker
