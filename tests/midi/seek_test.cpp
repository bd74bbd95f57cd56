// Seeking replays programs and controllers silently; notes after the target start on time.
#include <gtest/gtest.h>

#include <tuple>

#include "midi/sequencer.h"
#include "midi/synth.h"
#include "support.h"

namespace midi_test {
namespace {

// 480 ticks a quarter at 120 per minute: 960 ticks a second.
midi::Song StateChanges() {
    Bytes t;
    Event(t, 0, {0xC0, 5});
    Event(t, 0, {0xB0, 7, 100});
    Event(t, 0, {0x90, 60, 100});  // sounds across the first targets
    Event(t, 960, {0xB0, 7, 50});
    Event(t, 0, {0xB0, 10, 20});
    Event(t, 0, {0xB0, 101, 0});  // pitch-bend range: 12 semitones
    Event(t, 0, {0xB0, 100, 0});
    Event(t, 0, {0xB0, 6, 12});
    Event(t, 0, {0xE0, 0x7F, 0x7F});
    Event(t, 960, {0xC0, 40});
    Event(t, 0, {0xB0, 64, 127});
    Event(t, 480, {0xB0, 121, 0});  // reset all controllers at 2.5 s
    Event(t, 480, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7});  // General MIDI on at 3 s
    Event(t, 480, {0x80, 60, 0});
    // Hi-hats at 3.75, 4.25, 4.75 s.
    for (uint32_t delta : {240, 460, 460}) Event(t, delta, {0x99, 42, 100}), Event(t, 20, {0x89, 42, 0});
    const Bytes file = Smf(0, 480, {t});
    midi::Song song;
    EXPECT_EQ(midi::ReadSong(file.data(), file.size(), song), midi::Result::Ok);
    return song;
}

TEST(MidiSeek, ReplaysControllersAndProgramsUpToTheTarget) {
    const midi::Song song = StateChanges();
    midi::Synth synth(BuiltIn(), {kRate, false});
    midi::Sequencer sequencer(song, synth, kRate);
    struct Case {
        double seconds;
        int program, volume, pan, bend, bendRange;
        bool sustain;
    } const cases[] = {
        {0.5, 5, 100, 64, 8192, 200, false},  {1.5, 5, 50, 20, 16383, 1200, false},
        {2.2, 40, 50, 20, 16383, 1200, true}, {2.7, 40, 50, 20, 8192, 1200, false},
        {3.5, 0, 100, 64, 8192, 200, false},  {0.1, 5, 100, 64, 8192, 200, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        sequencer.Seek(uint64_t(c.seconds * kRate));
        const midi::ChannelState& s = synth.Channel(0);
        EXPECT_EQ(std::tie(s.program, s.volume, s.pan, s.pitchBend, s.bendRangeCents, s.sustain),
                  std::tie(c.program, c.volume, c.pan, c.bend, c.bendRange, c.sustain));
        EXPECT_EQ(synth.ActiveVoices(), 0);  // the note held over the target stays silent
        float block[2 * 256];
        sequencer.Render(block, 256);
        for (float x : block) ASSERT_EQ(x, 0.0f);
    }
    sequencer.Seek(uint64_t(3.6 * kRate));
    std::vector<float> rest(2 * (sequencer.LengthFrames() - sequencer.Position()));
    ASSERT_EQ(sequencer.Render(rest.data(), rest.size() / 2), rest.size() / 2);
    const std::vector<double> onsets = Onsets(rest);
    ASSERT_EQ(onsets.size(), 3u);
    for (int n = 0; n < 3; ++n) EXPECT_NEAR(onsets[n], 0.15 + 0.5 * n, 0.002);
}

}  // namespace
}  // namespace midi_test
