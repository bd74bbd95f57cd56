#include "envelope.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "auto_vibrato.h"
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
    bool loop;
    uint8_t loopStart, loopEnd;
    bool sustain;
    uint8_t sustainStart, sustainEnd;
    int releaseAt;
    std::vector<float> expected;
};

TEST(Envelope, PlaysSustainLoopsAndReleaseAsEachTrackerDoes) {
    const ModuleType xm = ModuleType::Xm, it = ModuleType::It;
    const EnvelopeCase cases[] = {
        {"XM sustain holds, release runs on", xm, false, 0, 0, true, 1, 1, 7,
         {0, 10, 20, 30, 40, 40, 40, 40, 30, 20, 10, 0, 16, 32, 48, 64, 64}},
        {"XM loop end's tick plays the start", xm, true, 0, 2, false, 0, 0, 99,
         {0, 10, 20, 30, 40, 30, 20, 10, 0, 10, 20, 30, 40, 30, 20, 10, 0}},
        // FT2 loops while the key is held and runs on once it is released.
        {"XM loop end at sustain", xm, true, 0, 1, true, 1, 1, 6, {0, 10, 20, 30, 0, 10, 20, 30, 40, 30, 20, 10, 0, 16}},
        {"IT loop includes its end", it, true, 0, 1, false, 0, 0, 99, {0, 10, 20, 30, 40, 0, 10, 20, 30, 40, 0}},
        {"IT sustain loop, then the loop", it, true, 0, 1, true, 1, 2, 12,
         {0, 10, 20, 30, 40, 30, 20, 10, 0, 40, 30, 20, 10, 0, 10, 20, 30, 40, 0}},
    };
    for (const EnvelopeCase& c : cases) {
        SCOPED_TRACE(c.name);
        // A triangle 0 -> 40 -> 0 -> 64 over ticks 0, 4, 8, 12: 10 per tick on the first legs.
        Envelope envelope = MakeEnvelope({{0, 0}, {4, 40}, {8, 0}, {12, 64}});
        envelope.loop = c.loop;
        envelope.loopStart = c.loopStart;
        envelope.loopEnd = c.loopEnd;
        envelope.sustain = c.sustain;
        envelope.sustainStart = c.sustainStart;
        envelope.sustainEnd = c.sustainEnd;
        const std::vector<float> got = Play(envelope, c.type, int(c.expected.size()), c.releaseAt);
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
}

TEST(Lfo, TablesAtTheirLandmarks) {
    uint32_t seed = 1;
    const VibratoWave sine = VibratoWave::Sine, ramp = VibratoWave::RampDown, square = VibratoWave::Square;
    const int got[] = {ModLfoValue(sine, 8, seed),   ModLfoValue(sine, 16, seed),   ModLfoValue(sine, 48, seed),
                       ModLfoValue(sine, 63, seed),  ModLfoValue(ramp, 31, seed),   ModLfoValue(ramp, 32, seed),
                       ModLfoValue(square, 40, seed), ItLfoValue(sine, 1, seed),    ItLfoValue(sine, 10, seed),
                       ItLfoValue(sine, 64, seed),   ItLfoValue(sine, 192, seed),   ItLfoValue(ramp, 0, seed),
                       ItLfoValue(square, 200, seed)};
    const int want[] = {180, 255, -255, -24, 248, -255, -255, 2, 16, 64, -64, 64, 0};
    for (size_t i = 0; i < std::size(want); ++i) EXPECT_EQ(got[i], want[i]) << "case " << i;
    for (int i = 0; i < 200; ++i) EXPECT_LE(std::abs(ItLfoValue(VibratoWave::Random, 0, seed)), 64);
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
    const bool held[] = {true, false, false, false, false};  // released: the sweep stops at 2
    const float releasedWant[] = {2, 0, -2, 0, 2};
    for (int t = 0; t < 5; ++t) EXPECT_FLOAT_EQ(AutoVibratoTick(sample, xm, held[t], ModuleType::Xm), releasedWant[t]);

    sample.vibratoSweep = 128;  // IT: depth + 128/256 per tick, the wave read before it moves
    AutoVibratoState it;
    AutoVibratoStart(sample, it);
    const float itWant[] = {0, 1, 0, -2};
    for (float want : itWant) EXPECT_FLOAT_EQ(AutoVibratoTick(sample, it, true, ModuleType::It), want);
    sample.vibratoSweep = 0;  // IT: no growth, no vibrato; XM: full depth at once
    sample.vibratoWave = VibratoWave::RampDown;
    AutoVibratoStart(sample, it);
    AutoVibratoStart(sample, xm);
    EXPECT_FLOAT_EQ(AutoVibratoTick(sample, it, true, ModuleType::It), 0);
    EXPECT_FLOAT_EQ(AutoVibratoTick(sample, it, true, ModuleType::It), 0);
    EXPECT_FLOAT_EQ(AutoVibratoTick(sample, xm, true, ModuleType::Xm), -4);  // FT2's ramp falls from 0
}

}  // namespace
}  // namespace tracker
