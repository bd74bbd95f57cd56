#include "envelope.h"

#include <gtest/gtest.h>

#include <vector>

#include "auto_vibrato.h"
#include "fadeout.h"
#include "lfo.h"

namespace tracker {
namespace {

Envelope MakeEnvelope(std::vector<EnvelopePoint> points) {
    Envelope envelope;
    envelope.enabled = true;
    envelope.points = std::move(points);
    return envelope;
}

// Values tick by tick; the key is released before tick `releaseAt`.
std::vector<float> Play(const Envelope& envelope, ModuleType type, int ticks, int releaseAt) {
    EnvelopeState state;
    std::vector<float> values;
    for (int t = 0; t < ticks; ++t) values.push_back(EnvelopeTick(envelope, state, t < releaseAt, type, 64));
    return values;
}

struct EnvelopeCase {
    const char* name;
    ModuleType type;
    Envelope envelope;
    int releaseAt;
    std::vector<float> expected;
};

TEST(Envelope, PlaysSustainLoopsAndReleaseAsEachTrackerDoes) {
    // A triangle 0 -> 40 -> 0 -> 64 over ticks 0, 4, 8, 12: 10 per tick on the first legs.
    Envelope triangle = MakeEnvelope({{0, 0}, {4, 40}, {8, 0}, {12, 64}});
    Envelope xmSustain = triangle;
    xmSustain.sustain = true;
    xmSustain.sustainStart = xmSustain.sustainEnd = 1;
    Envelope xmLoop = triangle;
    xmLoop.loop = true;
    xmLoop.loopStart = 0;
    xmLoop.loopEnd = 2;
    Envelope xmLoopEndIsSustain = xmLoop;  // FT2: loops while held, runs on once released
    xmLoopEndIsSustain.loopEnd = 1;
    xmLoopEndIsSustain.sustain = true;
    xmLoopEndIsSustain.sustainStart = xmLoopEndIsSustain.sustainEnd = 1;
    Envelope itLoop = xmLoop;
    itLoop.loopEnd = 1;
    Envelope itSustainLoop = itLoop;  // sustain loop over 4..8 while held, then the loop 0..4
    itSustainLoop.sustain = true;
    itSustainLoop.sustainStart = 1;
    itSustainLoop.sustainEnd = 2;
    const EnvelopeCase cases[] = {
        {"XM sustain holds, release runs on", ModuleType::Xm, xmSustain, 7,
         {0, 10, 20, 30, 40, 40, 40, 40, 30, 20, 10, 0, 16, 32, 48, 64, 64}},
        {"XM loop end's tick plays the start", ModuleType::Xm, xmLoop, 99,
         {0, 10, 20, 30, 40, 30, 20, 10, 0, 10, 20, 30, 40, 30, 20, 10, 0}},
        {"XM loop end at sustain", ModuleType::Xm, xmLoopEndIsSustain, 6,
         {0, 10, 20, 30, 0, 10, 20, 30, 40, 30, 20, 10, 0, 16}},
        {"IT loop includes its end", ModuleType::It, itLoop, 99, {0, 10, 20, 30, 40, 0, 10, 20, 30, 40, 0}},
        {"IT sustain loop, then the loop", ModuleType::It, itSustainLoop, 12,
         {0, 10, 20, 30, 40, 30, 20, 10, 0, 40, 30, 20, 10, 0, 10, 20, 30, 40, 0}},
    };
    for (const EnvelopeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<float> got = Play(c.envelope, c.type, int(c.expected.size()), c.releaseAt);
        for (size_t t = 0; t < got.size(); ++t) EXPECT_FLOAT_EQ(got[t], c.expected[t]) << "tick " << t;
    }
}

TEST(Envelope, ItVolumeEnvelopeEndFadesOrCutsTheNote) {
    for (int last : {0, 32}) {
        const Envelope envelope = MakeEnvelope({{0, 64}, {2, int8_t(last)}});
        EnvelopeState state;
        const EnvelopeEnd atEnd = last == 0 ? EnvelopeEnd::Cut : EnvelopeEnd::Fade;
        for (int t = 0; t < 3; ++t) {
            EXPECT_EQ(ItVolumeEnvelopeEnd(envelope, state), EnvelopeEnd::Playing);
            EnvelopeTick(envelope, state, true, ModuleType::It, 64);
        }
        EXPECT_EQ(ItVolumeEnvelopeEnd(envelope, state), atEnd);
        EXPECT_FLOAT_EQ(EnvelopeTick(envelope, state, true, ModuleType::It, 64), float(last));
    }
    EXPECT_EQ(EnvelopeFilterCutoff(100, 32), 100);
    EXPECT_EQ(EnvelopeFilterCutoff(100, 0), 50);
    EXPECT_EQ(EnvelopeFilterCutoff(100, -32), 0);
    EXPECT_FLOAT_EQ(EnvelopePitchSemitones(-32), -16);
}

TEST(Envelope, DisabledGivesNeutral) {
    Envelope envelope = MakeEnvelope({{0, 10}});
    envelope.enabled = false;
    EnvelopeState state;
    EXPECT_EQ(EnvelopeTick(envelope, state, true, ModuleType::Xm, 64), 64);
}

TEST(Lfo, TablesAtTheirLandmarks) {
    uint32_t seed = 1;
    const struct {
        int got, want;
    } cases[] = {
        {ModLfoValue(VibratoWave::Sine, 8, seed), 180},  {ModLfoValue(VibratoWave::Sine, 16, seed), 255},
        {ModLfoValue(VibratoWave::Sine, 48, seed), -255}, {ModLfoValue(VibratoWave::Sine, 63, seed), -24},
        {ModLfoValue(VibratoWave::RampDown, 31, seed), 248}, {ModLfoValue(VibratoWave::RampDown, 32, seed), -255},
        {ModLfoValue(VibratoWave::Square, 40, seed), -255}, {ItLfoValue(VibratoWave::Sine, 1, seed), 2},
        {ItLfoValue(VibratoWave::Sine, 10, seed), 16},   {ItLfoValue(VibratoWave::Sine, 64, seed), 64},
        {ItLfoValue(VibratoWave::Sine, 192, seed), -64}, {ItLfoValue(VibratoWave::RampDown, 0, seed), 64},
        {ItLfoValue(VibratoWave::Square, 200, seed), 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
    for (int i = 0; i < 200; ++i) {
        const int value = ItLfoValue(VibratoWave::Random, 0, seed);
        EXPECT_TRUE(value >= -64 && value <= 64);
    }
}

TEST(Fadeout, StepsToSilence) {
    FadeoutState fade;
    int ticks = 0;
    while (FadeoutTick(4096, fade)) ++ticks;
    EXPECT_EQ(ticks, 7);  // 32768 / 4096 = 8 steps, the 8th silent
    EXPECT_EQ(FadeoutFactor(fade), 0.0f);
}

TEST(AutoVibrato, XmSweepsUpWhileHeldItGrowsBySweep) {
    Sample sample;
    sample.vibratoDepth = 8;
    sample.vibratoSweep = 4;
    sample.vibratoRate = 64;  // a quarter cycle per tick
    AutoVibratoState xm;
    AutoVibratoStart(sample, xm);
    // Depth 2, 4, 6, 8 (1/64 semitones) over the sweep; the wave at 64, 128, 192, 0, 64.
    const float xmWant[] = {2, 0, -6, 0, 8, 0, -8};
    for (float want : xmWant) EXPECT_FLOAT_EQ(AutoVibratoTick(sample, xm, true, ModuleType::Xm), want);
    AutoVibratoStart(sample, xm);
    AutoVibratoTick(sample, xm, true, ModuleType::Xm);
    AutoVibratoTick(sample, xm, false, ModuleType::Xm);  // released: the sweep stops at 2
    AutoVibratoTick(sample, xm, false, ModuleType::Xm);
    EXPECT_FLOAT_EQ(AutoVibratoTick(sample, xm, false, ModuleType::Xm), 0);
    EXPECT_FLOAT_EQ(AutoVibratoTick(sample, xm, false, ModuleType::Xm), 2);

    sample.vibratoSweep = 128;  // IT: depth + 128/256 per tick, the wave read before it moves
    AutoVibratoState it;
    AutoVibratoStart(sample, it);
    const float itWant[] = {0, 1, 0, -2};
    for (float want : itWant) EXPECT_FLOAT_EQ(AutoVibratoTick(sample, it, true, ModuleType::It), want);
}

}  // namespace
}  // namespace tracker
