// Damaged and hostile files: refused, or played in bounded time and memory.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "midi/sequencer.h"
#include "midi/synth.h"
#include "smf_writer.h"
#include "support.h"

namespace midi_test {
namespace {

std::vector<uint8_t> WithTrack(const std::vector<uint8_t>& track, uint16_t division = 480) {
    return Smf(0, division, {track});
}

std::vector<uint8_t> FewNotes() {
    TrackWriter t;
    for (int n = 0; n < 8; ++n) {
        t.Message(240, 0x90, uint8_t(60 + n), 100);
        t.Message(200, 0x80, uint8_t(60 + n), 0);
    }
    return t.Finish();
}

std::vector<uint8_t> ManyNotesAtOneTick(int notes) {
    std::vector<uint8_t> t;
    for (int n = 0; n < notes; ++n) t.insert(t.end(), {0x00, 0x90, uint8_t(n % 128), 0x64});
    for (int n = 0; n < notes; ++n) t.insert(t.end(), {0x00, 0x80, uint8_t(n % 128), 0x00});
    return t;
}

struct Hostile {
    const char* name;
    std::vector<uint8_t> file;
    bool plays;
};

std::vector<Hostile> Cases() {
    std::vector<Hostile> cases;
    std::vector<uint8_t> endless(100000, 0xFF);
    cases.push_back({"endless variable-length number", WithTrack(endless), true});
    std::vector<uint8_t> pastEnd = WithTrack(FewNotes());
    pastEnd[18] = 0x7F;  // track length 0x7F...... : far past the file
    cases.push_back({"track longer than the file", pastEnd, true});
    TrackWriter zeroTempo;
    zeroTempo.Tempo(0, 0);
    zeroTempo.Raw(FewNotes());
    cases.push_back({"tempo 0", WithTrack(zeroTempo.Finish()), true});
    cases.push_back({"a million notes at one tick", WithTrack(ManyNotesAtOneTick(1000000)), true});
    cases.push_back({"more events than allowed", WithTrack(ManyNotesAtOneTick(2200000)), false});
    std::vector<uint8_t> truncated = WithTrack(FewNotes());
    truncated.resize(truncated.size() / 2);
    cases.push_back({"truncated in a track", truncated, true});
    cases.push_back({"header only", std::vector<uint8_t>(truncated.begin(), truncated.begin() + 14), false});
    cases.push_back({"division 0", WithTrack(FewNotes(), 0), false});
    std::vector<uint8_t> manyTracks = WithTrack(FewNotes());
    manyTracks[10] = manyTracks[11] = 0xFF;
    cases.push_back({"more tracks announced than present", manyTracks, true});
    TrackWriter huge;
    huge.Tempo(0, 0xFFFFFF);
    for (int n = 0; n < 1000; ++n) huge.Message(0x0FFFFFFF, 0x90, 60, 100);
    cases.push_back({"days between notes", WithTrack(huge.Finish(), 1), true});
    std::vector<uint8_t> rmid = Rmid(WithTrack(FewNotes()));
    rmid[16] = 0xFF, rmid[17] = 0xFF, rmid[18] = 0xFF;  // data chunk past the end
    cases.push_back({"RIFF MIDI data longer than the file", rmid, true});
    cases.push_back({"running status with nothing to run on", WithTrack({0x00, 0x3C, 0x64}), true});
    return cases;
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
