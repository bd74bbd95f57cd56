// MIDI songs from Debian (openttd-openmsx) played with a bank of clicks: every note start is
// heard as a click, and the clicks must fall within 2 ms of the note times the test reads
// from the file on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <map>

#include "midi/bank.h"
#include "midi/sequencer.h"
#include "midi/synth.h"
#include "support.h"

namespace midi_test {
namespace {

const std::string kSongs = std::string(QUENDRA_MIDI_SOUNDFONT) + "/songs";

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Note starts and the last event, in seconds, read straight from the file (ticks per quarter
// only, as these songs are written).
struct NoteTimes {
    std::vector<double> starts;
    double last = 0;
};

NoteTimes ReadNoteTimes(const std::vector<uint8_t>& f) {
    std::multimap<uint64_t, uint32_t> tempi;       // tick -> microseconds per quarter
    struct Heard {
        uint64_t tick;
        uint8_t status, data1, data2;
    };
    std::vector<Heard> channelEvents;  // note-ons, volume and expression
    uint64_t lastTick = 0;
    const int division = f[12] << 8 | f[13];
    for (size_t pos = 14; pos + 8 <= f.size();) {
        const size_t len = size_t(f[pos + 4]) << 24 | f[pos + 5] << 16 | f[pos + 6] << 8 | f[pos + 7];
        const size_t end = std::min(f.size(), pos + 8 + len);
        uint64_t tick = 0;
        uint8_t running = 0;
        size_t p = pos + 8;
        auto number = [&] {
            uint32_t n = 0;
            do n = n << 7 | (f[p] & 0x7F);
            while (f[p++] & 0x80);
            return n;
        };
        while (p < end) {
            tick += number();
            uint8_t status = f[p] & 0x80 ? f[p++] : running;
            if (status == 0xFF) {
                const uint8_t type = f[p++];
                const uint32_t n = number();
                if (type == 0x51) tempi.insert({tick, uint32_t(f[p] << 16 | f[p + 1] << 8 | f[p + 2])});
                p += n;
                if (type == 0x2F) break;
            } else if (status == 0xF0 || status == 0xF7) {
                p += number();
            } else {
                running = status;
                const bool level = (status & 0xF0) == 0xB0 && (f[p] == 7 || f[p] == 11);
                if (((status & 0xF0) == 0x90 && f[p + 1] > 0) || level) channelEvents.push_back({tick, status, f[p], f[p + 1]});
                p += (status & 0xE0) == 0xC0 ? 1 : 2;
            }
            lastTick = std::max(lastTick, tick);
        }
        pos = end;
    }
    auto seconds = [&](uint64_t tick) {
        double s = 0;
        uint64_t at = 0;
        uint32_t tempo = 500000;
        for (const auto& [t, micros] : tempi) {
            if (t >= tick) break;
            s += double(t - at) * tempo / 1e6 / division;
            at = t, tempo = micros;
        }
        return s + double(tick - at) * tempo / 1e6 / division;
    };
    // Notes on a channel turned down to nothing make no click.
    std::stable_sort(channelEvents.begin(), channelEvents.end(), [](const Heard& a, const Heard& b) { return a.tick < b.tick; });
    int volume[16], expression[16];
    std::fill(volume, volume + 16, 100);
    std::fill(expression, expression + 16, 127);
    NoteTimes out;
    for (const Heard& e : channelEvents) {
        const int c = e.status & 0x0F;
        if ((e.status & 0xF0) == 0xB0) (e.data1 == 7 ? volume : expression)[c] = e.data2;
        else if (volume[c] > 0 && expression[c] > 0) out.starts.push_back(seconds(e.tick));
    }
    std::sort(out.starts.begin(), out.starts.end());
    out.starts.erase(std::unique(out.starts.begin(), out.starts.end()), out.starts.end());
    out.last = seconds(lastTick);
    return out;
}

// Every program and the drums: a click of 16 frames at the note's start, nothing after.
midi::Bank ClickBank() {
    midi::Bank bank;
    bank.pcm.assign(16 + midi::kSampleGuard, 0.0f);
    bank.pcm[0] = 1.0f;
    midi::Region click;
    click.end = 16;
    click.keyTrackCents = 0;
    click.volEnv.release = 0.001f;
    bank.presets.push_back({0, 0, "click", {click}});
    bank.presets.push_back({midi::kDrumBank, 0, "click", {click}});
    return bank;
}

std::vector<std::string> Songs() {
    std::vector<std::string> names;
    if (DIR* d = opendir(kSongs.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name).find(".mid") != std::string::npos) names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(MidiRealSongs, ClicksFallOnTheNoteTimesAndTheLengthFits) {
    const std::vector<uint8_t> skipped = ReadFile(kSongs + "/SKIPPED");
    if (!skipped.empty()) GTEST_SKIP() << std::string(skipped.begin(), skipped.end());
    const std::vector<std::string> songs = Songs();
    ASSERT_GE(songs.size(), 10u);
    const midi::Bank clicks = ClickBank();
    double worst = 0;
    size_t notes = 0;
    // A few songs keep the suite quick; they cover type 0 and 1, tempo changes and running status.
    for (size_t i = 0; i < songs.size(); i += 4) {
        SCOPED_TRACE(songs[i]);
        const std::vector<uint8_t> file = ReadFile(kSongs + "/" + songs[i]);
        midi::Song song;
        ASSERT_EQ(midi::ReadSong(file.data(), file.size(), song), midi::Result::Ok);
        const NoteTimes expected = ReadNoteTimes(file);
        const std::vector<float> sound = Render(song, clicks);
        EXPECT_NEAR(double(sound.size() / 2) / kRate, expected.last + midi::kReleaseTailSeconds, 0.010);
        const std::vector<double> heard = Onsets(sound, 1e-9f, 0.0005);
        // Each note start is heard within 2 ms, and each click belongs to a note start.
        auto nearest = [](const std::vector<double>& times, double t) {
            const auto after = std::lower_bound(times.begin(), times.end(), t);
            double best = after != times.end() ? *after - t : 1e9;
            if (after != times.begin()) best = std::min(best, t - *(after - 1));
            return best;
        };
        for (double t : expected.starts) {
            const double error = nearest(heard, t);
            ASSERT_LE(error, 0.002) << "note at " << t << " s not heard";
            worst = std::max(worst, error);
        }
        for (double t : heard) ASSERT_LE(nearest(expected.starts, t), 0.002) << "click at " << t << " s without a note";
        notes += expected.starts.size();
    }
    std::printf("%zu note times in Debian's songs: worst onset error %.3f ms\n", notes, worst * 1000);
}

}  // namespace
}  // namespace midi_test
