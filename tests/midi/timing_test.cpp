// Note onsets in the rendering against the times the file gives, and the song's length.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "midi/sequencer.h"
#include "midi/synth.h"
#include "smf_writer.h"
#include "support.h"

namespace midi_test {
namespace {

constexpr uint16_t kTicksPerQuarter = 480;
constexpr uint8_t kHat = 42;

struct TempoChange {
    uint32_t tick, micros;
};

// Seconds at a tick under a tempo list sorted by tick (first entry at tick 0).
double SecondsAt(uint32_t tick, const std::vector<TempoChange>& tempi) {
    double seconds = 0;
    for (size_t i = 0; i < tempi.size() && tempi[i].tick < tick; ++i) {
        const uint32_t until = i + 1 < tempi.size() ? std::min(tempi[i + 1].tick, tick) : tick;
        seconds += double(until - tempi[i].tick) * tempi[i].micros / 1e6 / kTicksPerQuarter;
    }
    return seconds;
}

struct Written {
    std::vector<uint8_t> file;
    std::vector<double> onsets;
    double lastEvent;
};

// Hi-hat strokes on the drum channel, one per `spacing` ticks, spread over the note tracks;
// tempo changes in the first track (the only one in type 0).
Written HatsWithTempi(int format, bool runningStatus, const std::vector<TempoChange>& tempi, int notes,
                      uint32_t spacing, int noteTracks) {
    struct Timed {
        uint32_t tick;
        int track;
        uint32_t tempo;  // 0: a note-on, 1: a note-off, else a tempo
    };
    std::vector<Timed> events;
    for (const TempoChange& t : tempi) events.push_back({t.tick, 0, t.micros});
    Written w;
    for (int n = 0; n < notes; ++n) {
        const uint32_t tick = spacing * uint32_t(n + 1);
        const int track = format == 0 ? 0 : 1 + n % noteTracks;
        events.push_back({tick, track, 0});
        events.push_back({tick + 20, track, 1});
        w.onsets.push_back(SecondsAt(tick, tempi));
        w.lastEvent = SecondsAt(tick + 20, tempi);
    }
    std::stable_sort(events.begin(), events.end(), [](const Timed& a, const Timed& b) { return a.tick < b.tick; });
    const int trackCount = format == 0 ? 1 : 1 + noteTracks;
    std::vector<TrackWriter> writers(trackCount, TrackWriter(runningStatus));
    std::vector<uint32_t> last(trackCount, 0);
    writers[0].Meta(0, 0x03, "Timing");
    for (const Timed& e : events) {
        const uint32_t delta = e.tick - last[e.track];
        last[e.track] = e.tick;
        if (e.tempo > 1) writers[e.track].Tempo(delta, e.tempo);
        // The note-off as a note-on of velocity 0, so running status spans both.
        else writers[e.track].Message(delta, 0x99, kHat, e.tempo == 0 ? 100 : 0);
    }
    std::vector<std::vector<uint8_t>> tracks;
    for (TrackWriter& t : writers) tracks.push_back(t.Finish());
    w.file = Smf(format, kTicksPerQuarter, tracks);
    return w;
}

void ExpectTiming(const std::vector<uint8_t>& file, const std::vector<double>& expected, double lastEvent) {
    midi::Song song;
    ASSERT_EQ(midi::ReadSong(file.data(), file.size(), song), midi::Result::Ok);
    const std::vector<float> sound = Render(song, BuiltIn());
    EXPECT_NEAR(double(sound.size() / 2) / kRate, lastEvent + midi::kReleaseTailSeconds, 0.010);
    const std::vector<double> found = Onsets(sound);
    ASSERT_EQ(found.size(), expected.size());
    for (size_t i = 0; i < found.size(); ++i) EXPECT_NEAR(found[i], expected[i], 0.002) << "note " << i;
}

TEST(MidiTiming, OnsetsFollowTheTempoMap) {
    const std::vector<TempoChange> steady = {{0, 500000}};
    const std::vector<TempoChange> changing = {{0, 500000}, {1000, 750000}, {2100, 300000}, {3000, 1000000}};
    struct Case {
        const char* name;
        int format;
        bool running;
        std::vector<TempoChange> tempi;
        int tracks;
    } const cases[] = {
        {"type 0, one tempo", 0, false, steady, 1},
        {"type 0, tempo changes, running status", 0, true, changing, 1},
        {"type 1, three note tracks", 1, false, changing, 3},
        {"type 1, running status", 1, true, changing, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Written w = HatsWithTempi(c.format, c.running, c.tempi, 16, 240, c.tracks);
        ExpectTiming(w.file, w.onsets, w.lastEvent);
        SCOPED_TRACE("in a RIFF MIDI file");
        ExpectTiming(Rmid(w.file), w.onsets, w.lastEvent);
    }
}

TEST(MidiTiming, SmpteDivisionCountsTicksPerFrame) {
    // 25 frames a second, 40 ticks a frame: a tick is a millisecond, whatever the tempo says.
    TrackWriter t;
    t.Tempo(0, 100000);
    std::vector<double> expected;
    for (int n = 0; n < 6; ++n) {
        t.Message(n == 0 ? 300 : 280, 0x99, kHat, 90);
        t.Message(20, 0x89, kHat, 0);
        expected.push_back(0.3 * (n + 1));
    }
    const uint16_t division = uint16_t((256 - 25) << 8 | 40);
    ExpectTiming(Smf(0, division, {t.Finish()}), expected, 1.82);
}

TEST(MidiTiming, TypeTwoPlaysItsSequencesOneAfterAnother) {
    std::vector<std::vector<uint8_t>> tracks;
    for (int s = 0; s < 2; ++s) {
        TrackWriter t;
        t.Message(480, 0x99, kHat, 100);
        t.Message(480, 0x89, kHat, 0);
        tracks.push_back(t.Finish());
    }
    // 120 per minute: a quarter is half a second; the second sequence starts after 960 ticks.
    ExpectTiming(Smf(2, kTicksPerQuarter, tracks), {0.5, 1.5}, 2.0);
}

}  // namespace
}  // namespace midi_test
