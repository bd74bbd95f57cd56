// DLS banks written here: regions by key and velocity, loops, envelopes and the drum flag
// play what they describe.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "midi/bank.h"
#include "midi/sequencer.h"
#include "midi/synth.h"
#include "smf_writer.h"
#include "support.h"

namespace midi_test {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); }
void Put32(Bytes& b, uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }

Bytes Chunk(const char* id, const Bytes& body) {
    Bytes b(id, id + 4);
    Put32(b, uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1) b.push_back(0);
    return b;
}
Bytes List(const char* kind, const char* form, const std::vector<Bytes>& parts) {
    Bytes body(form, form + 4);
    for (const Bytes& p : parts) body.insert(body.end(), p.begin(), p.end());
    return Chunk(kind, body);
}

// A looped sine of `cycles` periods of `period` frames, unity note `unity`.
Bytes SineWave(int period, int cycles, int unity) {
    Bytes fmt;
    Put16(fmt, 1), Put16(fmt, 1), Put32(fmt, 44100), Put32(fmt, 88200), Put16(fmt, 2), Put16(fmt, 16);
    Bytes data;
    for (int i = 0; i < period * cycles; ++i) Put16(data, uint16_t(int16_t(20000 * std::sin(2 * M_PI * i / period))));
    Bytes wsmp;
    Put32(wsmp, 20), Put16(wsmp, uint16_t(unity)), Put16(wsmp, 0), Put32(wsmp, 0), Put32(wsmp, 0), Put32(wsmp, 1);
    Put32(wsmp, 16), Put32(wsmp, 0), Put32(wsmp, uint32_t(period)), Put32(wsmp, uint32_t(period * (cycles - 1)));
    return List("LIST", "wave", {Chunk("fmt ", fmt), Chunk("wsmp", wsmp), Chunk("data", data)});
}

Bytes Region(int keyLo, int keyHi, int velLo, int velHi, uint32_t wave) {
    Bytes rgnh, wlnk;
    Put16(rgnh, keyLo), Put16(rgnh, keyHi), Put16(rgnh, velLo), Put16(rgnh, velHi), Put16(rgnh, 0), Put16(rgnh, 0);
    Put16(wlnk, 0), Put16(wlnk, 0), Put32(wlnk, 1), Put32(wlnk, wave);
    return List("LIST", "rgn ", {Chunk("rgnh", rgnh), Chunk("wlnk", wlnk)});
}

// Volume envelope: attack and release in seconds.
Bytes Articulation(double attack, double release) {
    Bytes art;
    Put32(art, 8), Put32(art, 2);
    for (auto [destination, seconds] : {std::pair{0x0206, attack}, std::pair{0x0209, release}}) {
        Put16(art, 0), Put16(art, 0), Put16(art, uint32_t(destination)), Put16(art, 0);
        Put32(art, uint32_t(int32_t(std::lround(1200 * std::log2(seconds) * 65536))));
    }
    return List("LIST", "lart", {Chunk("art1", art)});
}

Bytes Instrument(uint32_t bank, uint32_t program, const std::vector<Bytes>& regions, const Bytes& art) {
    Bytes insh;
    Put32(insh, uint32_t(regions.size())), Put32(insh, bank), Put32(insh, program);
    return List("LIST", "ins ", {Chunk("insh", insh), List("LIST", "lrgn", regions), art});
}

// Program 0: low keys a 100-frame sine (441 Hz at unity 69), high keys a 50-frame one (882 Hz
// at unity 81); loud notes above key 60 a 200-frame one labelled a semitone high (unity 58), so
// that it is told apart by pitch. A drum kit (fast attack) with the 50-frame sine.
Bytes TestBank() {
    const std::vector<Bytes> waves = {SineWave(100, 20, 69), SineWave(50, 40, 81), SineWave(200, 10, 58)};
    Bytes ptbl, pool;
    Put32(ptbl, 8), Put32(ptbl, uint32_t(waves.size()));
    for (const Bytes& w : waves) Put32(ptbl, uint32_t(pool.size())), pool.insert(pool.end(), w.begin(), w.end());
    Bytes colh;
    Put32(colh, 2);
    const Bytes melodic = Instrument(0, 0,
                                     {Region(0, 59, 0, 127, 0), Region(60, 127, 0, 99, 1), Region(60, 127, 100, 127, 2)},
                                     Articulation(0.1, 0.2));
    const Bytes drums = Instrument(0x80000000u, 0, {Region(35, 81, 0, 127, 1)}, Articulation(0.001, 0.05));
    Bytes wvpl(pool);
    wvpl.insert(wvpl.begin(), {'w', 'v', 'p', 'l'});
    return List("RIFF", "DLS ", {Chunk("colh", colh), List("LIST", "lins", {melodic, drums}), Chunk("ptbl", ptbl),
                                 Chunk("LIST", wvpl)});
}

double Rms(const std::vector<float>& s, double from, double to) {
    double sum = 0;
    const size_t a = size_t(from * kRate), b = size_t(to * kRate);
    for (size_t i = a; i < b; ++i) sum += s[2 * i] * s[2 * i];
    return std::sqrt(sum / double(b - a));
}

std::vector<float> PlayNote(const midi::Bank& bank, uint8_t channel, uint8_t key, uint8_t velocity) {
    TrackWriter t;
    t.Message(0, uint8_t(0x90 | channel), key, velocity);
    t.Message(960, uint8_t(0x80 | channel), key, 0);  // a second of a note, far longer than the waves
    midi::Song song;
    const Bytes file = Smf(0, 480, {t.Finish()});
    EXPECT_EQ(midi::ReadSong(file.data(), file.size(), song), midi::Result::Ok);
    return Render(song, bank);
}

TEST(MidiDls, RegionsLoopsAndEnvelopesPlayAsWritten) {
    const Bytes file = TestBank();
    midi::Bank bank;
    ASSERT_EQ(midi::ReadDls(file.data(), file.size(), bank), midi::BankResult::Ok);
    EXPECT_EQ(bank.waves.size(), 3u);
    struct Case {
        uint8_t channel, key, velocity;
        double hz, attackRatio;
    } const cases[] = {
        {0, 69, 90, 441.0, 0.5},                                // first region at its unity note
        {0, 57, 90, 220.5, 0.5},                                // an octave down
        {0, 81, 90, 882.0, 0.5},                                // second region
        {0, 81, 110, 220.5 * std::exp2(23 / 12.0), 0.5},        // loud: the third wave
        {9, 40, 90, 882.0 * std::exp2(-41 / 12.0), 1.0},        // the drum kit: fast attack
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "channel " << int(c.channel) << " key " << int(c.key) << " velocity "
                                          << int(c.velocity));
        const std::vector<float> s = PlayNote(bank, c.channel, c.key, c.velocity);
        // Late in the note: the loop still sounds at the region's pitch.
        EXPECT_NEAR(Frequency(s, 0.6, 0.95), c.hz, c.hz * 0.001);
        EXPECT_GT(Rms(s, 0.6, 0.95), 0.01);
        // A linear attack of 0.1 s gives half the level at 50 ms; silence 0.2 s after the release.
        EXPECT_NEAR(Rms(s, 0.045, 0.055) / Rms(s, 0.3, 0.4), c.attackRatio, 0.08);
        EXPECT_LT(Rms(s, 1.25, 1.35), 1e-4);
    }
}

}  // namespace
}  // namespace midi_test
