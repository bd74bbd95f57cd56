// Note onsets in the rendering against the times the file gives, and the song's length.
#include <gtest/gtest.h>

#include <map>

#include "support.h"

namespace midi_test {
namespace {

constexpr uint8_t kHat = 42;

struct Case {
    const char* name;
    int format;
    bool running;
    uint16_t division;
    std::map<int, uint32_t> tempi;  // microseconds a quarter from the note with that index on
    int tracks;
    uint32_t spacing;
};

struct Written {
    const char* name;
    Bytes file;
    std::vector<double> onsets;
    double last;
};

// Sixteen hi-hat strokes, one per `spacing` ticks, spread over the note tracks; tempo changes
// in the first track (the only one in type 0).
Written Hats(const Case& c) {
    std::vector<Bytes> tracks(c.format == 0 ? 1 : 1 + c.tracks);
    std::vector<uint32_t> last(tracks.size(), 0);
    std::vector<bool> started(tracks.size(), false);
    uint32_t micros = 500000;
    auto seconds = [&](uint32_t ticks) {
        if (c.division & 0x8000) return ticks / double((256 - (c.division >> 8)) * (c.division & 0xFF));
        return ticks * double(micros) / 1e6 / c.division;
    };
    Written w{c.name, {}, {}, 0};
    for (int n = 0; n < 16; ++n) {
        const uint32_t tick = c.spacing * uint32_t(n + 1);
        w.onsets.push_back((n ? w.onsets.back() : 0) + seconds(c.spacing));
        if (c.tempi.count(n)) Tempo(tracks[0], tick - last[0], micros = c.tempi.at(n)), last[0] = tick;
        const int i = c.format == 0 ? 0 : 1 + n % c.tracks;
        // The note-off as a note-on of velocity 0, so running status spans both.
        if (c.running && started[i]) Event(tracks[i], tick - last[i], {kHat, 100});
        else Event(tracks[i], tick - last[i], {0x99, kHat, 100});
        if (c.running) Event(tracks[i], 20, {kHat, 0});
        else Event(tracks[i], 20, {0x99, kHat, 0});
        started[i] = true, last[i] = tick + 20;
        w.last = w.onsets.back() + seconds(20);
    }
    w.file = Smf(c.format, c.division, tracks);
    return w;
}

std::vector<Written> Files() {
    const std::map<int, uint32_t> changing = {{0, 500000}, {4, 750000}, {9, 300000}, {12, 1000000}};
    const Case cases[] = {
        {"type 0, no tempo", 0, false, 480, {}, 1, 240},
        {"type 0, tempo changes, running status", 0, true, 480, changing, 1, 240},
        {"type 1, three note tracks", 1, false, 480, changing, 3, 240},
        {"type 1, running status", 1, true, 480, changing, 2, 250},
        // A tick rounded to whole frames or microseconds would drift by more than 2 ms in the minute.
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
