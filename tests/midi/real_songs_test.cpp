// Debian's MIDI songs (openttd-openmsx) played with a bank of clicks: every note start is heard
// as a click, which must fall within 2 ms of the note's time as this test reads it from the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "midi/sequencer.h"
#include "support.h"

namespace midi_test {
namespace {

const std::string kSongs = std::string(QUENDRA_MIDI_SOUNDFONT) + "/songs";

struct NoteTimes {
    std::vector<double> starts;  // sorted, each time once
    double last = 0;             // the last event of any track, its end not counted
};

// Our own plain reading of a file of ticks per quarter: tempo map, note-ons and the last tick.
NoteTimes ReadNoteTimes(const Bytes& f) {
    std::map<uint64_t, uint32_t> tempi{{0, 500000}};  // tick -> microseconds per quarter
    std::vector<uint64_t> noteTicks;
    uint64_t lastTick = 0;
    auto number = [&](size_t& p) {
        uint32_t n = 0;
        do n = n << 7 | (f[p] & 0x7F);
        while (f[p++] & 0x80);
        return n;
    };
    for (size_t pos = 14; pos + 8 <= f.size();) {
        const size_t end = std::min(f.size(), pos + 8 + (size_t(f[pos + 4]) << 24 | f[pos + 5] << 16 | f[pos + 6] << 8 | f[pos + 7]));
        uint64_t tick = 0;
        uint8_t running = 0;
        for (size_t p = pos + 8; p < end;) {
            tick += number(p);
            const uint8_t status = f[p] & 0x80 ? f[p++] : running;
            if (status == 0xFF) {
                const uint8_t type = f[p++];
                const uint32_t n = number(p);
                if (type == 0x51) tempi[tick] = uint32_t(f[p] << 16 | f[p + 1] << 8 | f[p + 2]);
                if (type == 0x2F) break;
                p += n;
            } else if (status == 0xF0 || status == 0xF7) {
                p += number(p);
            } else {
                running = status;
                if ((status & 0xF0) == 0x90 && f[p + 1] > 0) noteTicks.push_back(tick);
                p += (status & 0xE0) == 0xC0 ? 1 : 2;
            }
            lastTick = std::max(lastTick, tick);  // the end of a track does not count
        }
        pos = end;
    }
    const int division = f[12] << 8 | f[13];
    auto seconds = [&](uint64_t tick) {
        double s = 0;
        for (auto t = tempi.begin(); t != tempi.end() && t->first < tick; ++t) {
            const auto next = std::next(t);
            const uint64_t until = next == tempi.end() ? tick : std::min(next->first, tick);
            s += double(until - t->first) * t->second / 1e6 / division;
        }
        return s;
    };
    NoteTimes out;
    for (uint64_t t : noteTicks) out.starts.push_back(seconds(t));
    std::sort(out.starts.begin(), out.starts.end());
    out.starts.erase(std::unique(out.starts.begin(), out.starts.end()), out.starts.end());
    out.last = seconds(lastTick);
    return out;
}

// Every program and the drums: one frame of full level at the note's start, nothing after.
midi::Bank ClickBank() {
    midi::Bank bank;
    bank.pcm.assign(16 + midi::kSampleGuard, 0.0f);
    bank.pcm[0] = 1.0f;
    midi::Region click;
    click.end = 16;
    click.keyTrackCents = 0;
    bank.presets.push_back({0, 0, "click", {click}});
    bank.presets.push_back({midi::kDrumBank, 0, "click", {click}});
    return bank;
}

double Nearest(const std::vector<double>& sorted, double t) {
    const auto after = std::lower_bound(sorted.begin(), sorted.end(), t);
    double best = after != sorted.end() ? *after - t : 1e9;
    if (after != sorted.begin()) best = std::min(best, t - *(after - 1));
    return best;
}

TEST(MidiRealSongs, ClicksFallOnTheNoteTimesAndTheLengthFits) {
    const Bytes skipped = ReadFile(kSongs + "/SKIPPED");
    if (!skipped.empty()) GTEST_SKIP() << std::string(skipped.begin(), skipped.end());
    std::vector<std::string> songs;
    for (const auto& e : std::filesystem::directory_iterator(kSongs)) songs.push_back(e.path().string());
    std::sort(songs.begin(), songs.end());
    ASSERT_GE(songs.size(), 10u);
    double worst = 0;
    size_t notes = 0;
    for (size_t i = 0; i < songs.size(); i += 3) {  // a third of them keeps the suite quick
        SCOPED_TRACE(songs[i]);
        const Bytes file = ReadFile(songs[i]);
        midi::Song song;
        ASSERT_EQ(midi::ReadSong(file.data(), file.size(), song), midi::Result::Ok);
        // Without volume and expression, a note on a channel turned down still clicks.
        std::erase_if(song.events, [](const midi::Event& e) {
            return (e.status & 0xF0) == 0xB0 && (e.data1 == 7 || e.data1 == 11);
        });
        const NoteTimes expected = ReadNoteTimes(file);
        const std::vector<float> sound = RenderSong(song, ClickBank());
        EXPECT_NEAR(double(sound.size() / 2) / kRate, expected.last + midi::kReleaseTailSeconds, 0.010);
        const std::vector<double> heard = Onsets(sound, 1e-9f, 0.0005);
        for (double t : expected.starts) {
            ASSERT_LE(Nearest(heard, t), 0.002) << "note at " << t << " s not heard";
            worst = std::max(worst, Nearest(heard, t));
        }
        for (double t : heard) ASSERT_LE(Nearest(expected.starts, t), 0.002) << "click at " << t << " s without a note";
        notes += expected.starts.size();
    }
    std::printf("%zu note times in Debian's songs: worst onset error %.3f ms\n", notes, worst * 1000);
}

}  // namespace
}  // namespace midi_test
