#include "envelope.h"

#include <gtest/gtest.h>

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

// Rules no written module of the reference comparison reaches, as libopenmpt's renderings
// of probe modules follow them: a loop from point 0 and a sustain loop together.
TEST(Envelope, PlaysSustainLoopsAndReleaseAsEachTrackerDoes) {
    const struct {
        const char* name;
        ModuleType type;
        uint8_t loopEnd, sustainStart, sustainEnd;
        int releaseAt;
        std::vector<float> expected;
    } cases[] = {
        // FT2 loops while the key is held and runs on once it is released.
        {"XM loop end at sustain", ModuleType::Xm, 1, 1, 1, 6, {0, 10, 20, 30, 0, 10, 20, 30, 40, 30, 20, 10, 0, 16}},
        {"IT sustain loop, then the loop", ModuleType::It, 1, 1, 2, 12, {0, 10, 20, 30, 40, 30, 20, 10, 0, 40, 30, 20, 10, 0, 10, 20, 30, 40, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A triangle 0 -> 40 -> 0 -> 64 over ticks 0, 4, 8, 12: 10 per tick on the first legs.
        Envelope envelope = MakeEnvelope({{0, 0}, {4, 40}, {8, 0}, {12, 64}});
        envelope.loop = envelope.sustain = true;
        envelope.loopEnd = c.loopEnd;
        envelope.sustainStart = c.sustainStart;
        envelope.sustainEnd = c.sustainEnd;
        EnvelopeState state;  // tick by tick, the key released before tick `releaseAt`
        for (size_t t = 0; t < c.expected.size(); ++t)
            EXPECT_FLOAT_EQ(EnvelopeTick(envelope, state, int(t) < c.releaseAt, c.type, 64), c.expected[t]) << t;
    }
}

TEST(Envelope, ItVolumeEnvelopeEndFadesOrCutsTheNote) {
    for (int last : {0, 32}) {
        const Envelope envelope = MakeEnvelope({{0, 64}, {2, int8_t(last)}});
        EnvelopeState state;
        for (int t = 0; t < 3; ++t) {
            EXPECT_EQ(ItVolumeEnvelopeEnd(envelope, state), EnvelopeEnd::Playing);
            EnvelopeTick(envelope, state, true, ModuleType::It, 64);
        }
        EXPECT_EQ(ItVolumeEnvelopeEnd(envelope, state), last == 0 ? EnvelopeEnd::Cut : EnvelopeEnd::Fade);
    }
    EXPECT_EQ(EnvelopeFilterCutoff(100, 0), 50);
}

TEST(Lfo, TablesAtTheirLandmarks) {
    uint32_t seed = 1;
    const VibratoWave sine = VibratoWave::Sine, ramp = VibratoWave::RampDown;
    const int got[] = {ModLfoValue(sine, 8, seed), ModLfoValue(sine, 48, seed), ModLfoValue(ramp, 32, seed),
                       ItLfoValue(sine, 10, seed), ItLfoValue(sine, 192, seed), ItLfoValue(VibratoWave::Square, 200, seed)};
    const int want[] = {180, -255, -255, 16, -64, 0};
    for (size_t i = 0; i < std::size(want); ++i) EXPECT_EQ(got[i], want[i]) << "case " << i;
}

TEST(AutoVibrato, SweepsAndWavesAsEachTrackerPlaysThem) {
    // Depth 8 (1/64 semitones), a quarter cycle per tick.
    const struct {
        ModuleType type;
        uint8_t sweep;
        VibratoWave wave;
        int releaseAt;
        std::vector<float> expected;
    } cases[] = {
        {ModuleType::Xm, 4, VibratoWave::Sine, 1, {2, 0, -2, 0, 2}},          // released in the sweep: stays at 2
        {ModuleType::Xm, 0, VibratoWave::RampDown, 99, {-4, -8, 4, 0}},       // FT2's ramp falls from 0
        {ModuleType::It, 128, VibratoWave::Sine, 99, {0, 1, 0, -2}},          // read, then moved
        {ModuleType::It, 0, VibratoWave::Sine, 99, {0, 0, 0}},                // no sweep, no vibrato
    };
    for (const auto& c : cases) {
        Sample sample;
        sample.vibratoDepth = 8;
        sample.vibratoSweep = c.sweep;
        sample.vibratoRate = 64;
        sample.vibratoWave = c.wave;
        AutoVibratoState state;
        AutoVibratoStart(sample, state);
        for (size_t t = 0; t < c.expected.size(); ++t)
            EXPECT_FLOAT_EQ(AutoVibratoTick(sample, state, int(t) < c.releaseAt, c.type), c.expected[t]) << t;
    }
}

}  // namespace
}  // namespace tracker
