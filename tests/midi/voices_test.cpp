// Voice allocation when every voice is busy (a new note takes a released voice first, then
// the quietest), and the tuning of a channel by parameters and bends.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "midi/synth.h"
#include "support.h"

namespace midi_test {
namespace {

float Peak(midi::Synth& synth, size_t frames) {
    std::vector<float> out(2 * frames);
    synth.Render(out.data(), frames);
    float peak = 0;
    for (float x : out) peak = std::max(peak, std::fabs(x));
    return peak;
}

TEST(MidiVoices, ANewNoteTakesAReleasedVoiceElseTheQuietest) {
    // Organs on channels 0 (loud) and 1 (barely audible); every voice held.
    midi::Synth synth(BuiltIn(), {kRate, false});
    synth.Send(0xC0, 16, 0);
    synth.Send(0xC1, 16, 0);
    synth.Send(0x90, 40, 127);
    for (int n = 1; n < midi::kMaxVoices; ++n) synth.Send(0x91, uint8_t(20 + n % 100), 1);
    Peak(synth, kRate / 10);
    ASSERT_EQ(synth.ActiveVoices(), midi::kMaxVoices);
    const float loud = Peak(synth, kRate / 10);

    struct Step {
        const char* name;
        uint8_t status, key, velocity;
        bool loudNoteSounds;
        size_t frames;  // listened to after the change
    } const steps[] = {
        {"full: the quietest is taken", 0x92, 90, 1, true, kRate / 10},
        // Released, the loud note fades for 80 ms; its voice goes first, before quiet held ones.
        {"note-off of the loud note", 0x80, 40, 0, true, 64},
        {"a released voice is taken", 0x93, 91, 1, false, kRate / 10},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        synth.Send(s.status, s.key, s.velocity);
        const float peak = Peak(synth, s.frames);
        EXPECT_EQ(synth.ActiveVoices(), midi::kMaxVoices);
        if (s.loudNoteSounds) EXPECT_GT(peak, 0.5f * loud);
        else EXPECT_LT(peak, 0.05f * loud);
    }
}

// Tuning and bending a middle A on a nearly sine instrument (built-in chromatic percussion).
TEST(MidiPitch, RegisteredParametersAndBendsTuneTheChannel) {
    struct Case {
        const char* name;
        std::vector<std::array<uint8_t, 3>> messages;
        double cents;
    } const cases[] = {
        {"no change", {}, 0},
        {"coarse tuning +12", {{0xB0, 101, 0}, {0xB0, 100, 2}, {0xB0, 6, 76}}, 1200},
        {"fine tuning +50 cents", {{0xB0, 101, 0}, {0xB0, 100, 1}, {0xB0, 6, 96}, {0xB0, 38, 0}}, 50},
        {"bend up, default range", {{0xE0, 0x7F, 0x7F}}, 200 * 8191 / 8192.0},
        {"range 12, bend down", {{0xB0, 101, 0}, {0xB0, 100, 0}, {0xB0, 6, 12}, {0xE0, 0, 0}}, -1200},
        {"data entry after the null parameter", {{0xB0, 101, 127}, {0xB0, 100, 127}, {0xB0, 6, 76}}, 0},
        {"reset all controllers ends the bend", {{0xE0, 0, 0}, {0xB0, 121, 0}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        midi::Synth synth(BuiltIn(), {kRate, false});
        synth.Send(0xC0, 8, 0);
        for (const auto& m : c.messages) synth.Send(m[0], m[1], m[2]);
        synth.Send(0x90, 69, 100);
        std::vector<float> out(2 * kRate / 2);
        synth.Render(out.data(), kRate / 2);
        const double hz = 440 * std::exp2(c.cents / 1200);
        EXPECT_NEAR(Frequency(out, 0.05, 0.45), hz, hz * 0.001);
    }
}

// Channel pressure and the modulation wheel each add vibrato to an instrument that has none;
// reset-all-controllers takes it away again.
TEST(MidiPitch, PressureAndModulationWheelAddVibrato) {
    const std::array<uint8_t, 3> cases[] = {{0xD0, 0, 0}, {0xD0, 127, 0}, {0xB0, 1, 127}, {0xD0, 127, 0}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        midi::Synth synth(BuiltIn(), {kRate, false});
        synth.Send(0xC0, 8, 0);
        synth.Send(cases[i][0], cases[i][1], cases[i][2]);
        if (i == 3) synth.Send(0xB0, 121, 0);
        synth.Send(0x90, 69, 100);
        std::vector<float> out(2 * kRate);
        synth.Render(out.data(), kRate);
        double low = 1e9, high = 0;
        for (double t = 0.4; t < 0.95; t += 0.04) {
            low = std::min(low, Frequency(out, t, t + 0.04));
            high = std::max(high, Frequency(out, t, t + 0.04));
        }
        const bool vibrato = i == 1 || i == 2;  // 50 cents deep: some 3 % either way
        if (vibrato) EXPECT_GT(high / low, 1.03);
        else EXPECT_LT(high / low, 1.002);
    }
}

// Filtered voices (the built-in piano's) are filtered in groups: five notes together sound as
// the sum of each alone, also in blocks whose length is no multiple of four.
TEST(MidiVoices, VoicesFilteredTogetherSoundAsEachAlone) {
    const uint8_t keys[] = {40, 52, 64, 71, 88};
    auto render = [&](int only) {  // -1: all five, each on a channel of its own
        midi::Synth synth(BuiltIn(), {kRate, false});
        for (int n = 0; n < 5; ++n)
            if (only < 0 || only == n) synth.Send(uint8_t(0x90 | n), keys[n], uint8_t(60 + 10 * n));
        std::vector<float> out(2 * 20000);
        for (size_t done = 0; done < 20000; done += 1001) synth.Render(&out[2 * done], std::min<size_t>(1001, 20000 - done));
        return out;
    };
    const std::vector<float> together = render(-1);
    std::vector<float> sum(together.size());
    for (int n = 0; n < 5; ++n) {
        const std::vector<float> one = render(n);
        for (size_t i = 0; i < sum.size(); ++i) sum[i] += one[i];
    }
    double worst = 0;
    for (size_t i = 0; i < sum.size(); ++i) worst = std::max(worst, double(std::fabs(sum[i] - together[i])));
    EXPECT_LT(worst, 1e-5);
    EXPECT_GT(*std::max_element(together.begin(), together.end()), 0.05f);
}

}  // namespace
}  // namespace midi_test
