// Voice allocation when every voice is busy: a new note takes a released voice first, then
// the quietest; the others keep sounding.
#include <gtest/gtest.h>

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
        // The quietest (a channel-1 note) gives way, not the loud one.
        {"full: the quietest is taken", 0x92, 90, 1, true, kRate / 10},
        // Released, the loud note fades (80 ms); while it does, its voice is the first to be
        // taken, before any quiet held one.
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

}  // namespace
}  // namespace midi_test
