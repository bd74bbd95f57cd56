// Damaged and hostile files: refused, or played in bounded time and memory.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "midi/sequencer.h"
#include "midi/synth.h"
#include "support.h"

namespace midi_test {
namespace {

Bytes FewNotes(Bytes t = {}) {
    for (uint8_t n = 0; n < 8; ++n) Event(t, 240, {0x90, uint8_t(60 + n), 100}), Event(t, 200, {0x80, uint8_t(60 + n), 0});
    return t;
}

Bytes ManyNotesAtOneTick(int notes) {
    Bytes t;
    for (int n = 0; n < notes; ++n) t.insert(t.end(), {0x00, 0x90, uint8_t(n % 128), 0x64});
    for (int n = 0; n < notes; ++n) t.insert(t.end(), {0x00, 0x80, uint8_t(n % 128), 0x00});
    return t;
}

struct Hostile {
    const char* name;
    Bytes file;
    bool plays;
};

std::vector<Hostile> Cases() {
    const Bytes few = Smf(0, 480, {FewNotes()});
    Bytes pastEnd = few, truncated = few, manyTracks = few, rmid = Rmid(few), zeroTempo, days;
    pastEnd[18] = 0x7F;  // track length 0x7F...... : far past the file
    truncated.resize(truncated.size() / 2);
    manyTracks[10] = manyTracks[11] = 0xFF;
    rmid[16] = rmid[17] = rmid[18] = 0xFF;  // data chunk past the end
    Tempo(zeroTempo, 0, 0);
    Tempo(days, 0, 0xFFFFFF);
    for (int n = 0; n < 1000; ++n) Event(days, 0x0FFFFFFF, {0x90, 60, 100});
    return {
        {"endless variable-length number", Smf(0, 480, {Bytes(100000, 0xFF)}), true},
        {"track longer than the file", pastEnd, true},
        {"tempo 0", Smf(0, 480, {FewNotes(zeroTempo)}), true},
        {"a million notes at one tick", Smf(0, 480, {ManyNotesAtOneTick(1000000)}), true},
        {"more events than allowed", Smf(0, 480, {ManyNotesAtOneTick(2200000)}), false},
        {"truncated in a track", truncated, true},
        {"header only", Bytes(few.begin(), few.begin() + 14), false},
        {"division 0", Smf(0, 0, {FewNotes()}), false},
        {"more tracks announced than present", manyTracks, true},
        {"days between notes", Smf(0, 1, {days}), true},
        {"RIFF MIDI data longer than the file", rmid, true},
        {"running status with nothing to run on", Smf(0, 480, {{0x00, 0x3C, 0x64}}), true},
    };
}

TEST(MidiHostile, RefusedOrPlayedInBoundedTimeAndMemory) {
    for (const Hostile& c : Cases()) {
        SCOPED_TRACE(c.name);
        const auto start = std::chrono::steady_clock::now();
        midi::Song song;
        const midi::Result r = midi::ReadSong(c.file.data(), c.file.size(), song);
        EXPECT_EQ(r == midi::Result::Ok, c.plays) << int(r);
        EXPECT_LE(song.events.size(), midi::kMaxEvents);
        if (r != midi::Result::Ok) continue;
        midi::Synth synth(BuiltIn(), {kRate, true});
        midi::Sequencer sequencer(song, synth, kRate);
        EXPECT_LE(sequencer.LengthFrames(), uint64_t(24 * 3600 + 1) * kRate);
        std::vector<float> out(2 * kRate);
        for (int second = 0; second < 5; ++second) sequencer.Render(out.data(), kRate);
        sequencer.Seek(sequencer.LengthFrames() / 2);
        sequencer.Render(out.data(), kRate);
        for (float x : out) ASSERT_TRUE(std::isfinite(x));
        EXPECT_LE(synth.ActiveVoices(), midi::kMaxVoices);
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
    }
}

}  // namespace
}  // namespace midi_test
