// Note onsets in the rendering against the times the file gives, and the song's length.
#include <gtest/gtest.h>

#include <algorithm>

#include "support.h"
#include "writer.h"

namespace midi_test {
namespace {

constexpr uint8_t kHat = 42;

struct TempoChange {
    uint32_t tick, micros;
};

struct Case {
    const char* name;
    int format;
    bool running;
    uint16_t division;
    std::vector<TempoChange> tempi;  // sorted, the first at tick 0
    int tracks;
    uint32_t spacing;
};

double SecondsAt(uint32_t tick, const Case& c) {
    if (c.division & 0x8000) return tick / double((256 - (c.division >> 8)) * (c.division & 0xFF));
    double seconds = 0;
    for (size_t i = 0; i < c.tempi.size() && c.tempi[i].tick < tick; ++i) {
        const uint32_t until = i + 1 < c.tempi.size() ? std::min(c.tempi[i + 1].tick, tick) : tick;
        seconds += double(until - c.tempi[i].tick) * c.tempi[i].micros / 1e6 / c.division;
    }
    return seconds;
}

struct Written {
    const char* name;
    Bytes file;
    std::vector<double> onsets;
    double last;
};

// Sixteen hi-hat strokes, one per `spacing` ticks, spread over the note tracks; tempo changes
// in the first track (the only one in type 0).
Written Hats(const Case& c) {
    struct Timed {
        uint32_t tick;
        int track;
        uint32_t tempo;  // 0 for a note
        uint8_t velocity;
    };
    std::vector<Timed> events;
    for (const TempoChange& t : c.tempi) events.push_back({t.tick, 0, t.micros, 0});
    Written w{c.name, {}, {}, 0};
    for (int n = 0; n < 16; ++n) {
        const uint32_t tick = c.spacing * uint32_t(n + 1);
        const int track = c.format == 0 ? 0 : 1 + n % c.tracks;
        // The note-off as a note-on of velocity 0, so running status spans both.
        events.push_back({tick, track, 0, 100});
        events.push_back({tick + 20, track, 0, 0});
        w.onsets.push_back(SecondsAt(tick, c));
        w.last = SecondsAt(tick + 20, c);
    }
    std::stable_sort(events.begin(), events.end(), [](const Timed& a, const Timed& b) { return a.tick < b.tick; });
    std::vector<Bytes> tracks(c.format == 0 ? 1 : 1 + c.tracks);
    std::vector<uint32_t> last(tracks.size(), 0);
    for (const Timed& e : events) {
        Bytes& t = tracks[e.track];
        const uint32_t delta = e.tick - last[e.track];
        const bool runs = c.running && last[e.track] > 0;
        last[e.track] = e.tick;
        if (e.tempo) Tempo(t, delta, e.tempo);
        else if (runs) Event(t, delta, {kHat, e.velocity});
        else Event(t, delta, {0x99, kHat, e.velocity});
    }
    w.file = Smf(c.format, c.division, tracks);
    return w;
}

std::vector<Written> Files() {
    const std::vector<TempoChange> steady = {{0, 500000}};
    const std::vector<TempoChange> changing = {{0, 500000}, {1000, 750000}, {2100, 300000}, {3000, 1000000}};
    const Case cases[] = {
        {"type 0, one tempo", 0, false, 480, steady, 1, 240},
        {"type 0, tempo changes, running status", 0, true, 480, changing, 1, 240},
        {"type 1, three note tracks", 1, false, 480, changing, 3, 240},
        {"type 1, running status", 1, true, 480, changing, 2, 240},
        // Rounding per tick or per event would drift by more than 2 ms over the minute.
        {"a minute at 180 per minute, 96 ticks a quarter", 1, false, 96, {{0, 333333}}, 2, 997},
        // 25 frames a second, 40 ticks a frame: a tick is a millisecond, whatever the tempo says.
        {"SMPTE division", 0, false, uint16_t((256 - 25) << 8 | 40), {{0, 100000}}, 1, 300},
    };
    std::vector<Written> files;
    for (const Case& c : cases) files.push_back(Hats(c));
    // Type 2 plays its sequences one after another: the second starts after the first's 960 ticks.
    Bytes sequence;
    Event(sequence, 480, {0x99, kHat, 100});
    Event(sequence, 480, {0x89, kHat, 0});
    files.push_back({"type 2", Smf(2, 480, {sequence, sequence}), {0.5, 1.5}, 2.0});
    return files;
}

TEST(MidiTiming, OnsetsWithin2MsAndLengthWithin10Ms) {
    for (const Written& w : Files()) {
        for (const Bytes& file : {w.file, Rmid(w.file)}) {
            SCOPED_TRACE(::testing::Message() << w.name << (file == w.file ? "" : ", in a RIFF MIDI file"));
            const std::vector<float> sound = RenderFile(file, BuiltIn());
            EXPECT_NEAR(double(sound.size() / 2) / kRate, w.last + midi::kReleaseTailSeconds, 0.010);
            const std::vector<double> found = Onsets(sound);
            ASSERT_EQ(found.size(), w.onsets.size());
            for (size_t i = 0; i < found.size(); ++i) EXPECT_NEAR(found[i], w.onsets[i], 0.002) << "note " << i;
        }
    }
}

}  // namespace
}  // namespace midi_test
