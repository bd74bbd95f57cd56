// DLS banks written here: regions by key and velocity, loops, envelopes and the drum flag.
#include <gtest/gtest.h>

#include <cmath>

#include "support.h"

namespace midi_test {
namespace {

// A looped sine of `cycles` periods of `period` frames; the loop leaves out the first period.
Bytes SineWave(int period, int cycles, int unity) {
    Bytes fmt, data, wsmp;
    Put16(fmt, 1), Put16(fmt, 1), Put32(fmt, 44100), Put32(fmt, 88200), Put16(fmt, 2), Put16(fmt, 16);
    for (int i = 0; i < period * cycles; ++i) Put16(data, uint16_t(int16_t(20000 * std::sin(2 * M_PI * i / period))));
    Put32(wsmp, 20), Put16(wsmp, uint32_t(unity)), Put16(wsmp, 0), Put32(wsmp, 0), Put32(wsmp, 0), Put32(wsmp, 1);
    Put32(wsmp, 16), Put32(wsmp, 0), Put32(wsmp, uint32_t(period)), Put32(wsmp, uint32_t(period * (cycles - 1)));
    return List("LIST", "wave", {Chunk("fmt ", fmt), Chunk("wsmp", wsmp), Chunk("data", data)});
}

Bytes Region(uint32_t keyLo, uint32_t keyHi, uint32_t velLo, uint32_t velHi, uint32_t wave) {
    Bytes rgnh, wlnk;
    Put16(rgnh, keyLo), Put16(rgnh, keyHi), Put16(rgnh, velLo), Put16(rgnh, velHi), Put32(rgnh, 0);
    Put32(wlnk, 0), Put32(wlnk, 1), Put32(wlnk, wave);
    return List("LIST", "rgn ", {Chunk("rgnh", rgnh), Chunk("wlnk", wlnk)});
}

// An instrument whose volume envelope has the given attack and release, in seconds.
Bytes Instrument(uint32_t bank, const std::vector<Bytes>& regions, double attack, double release) {
    Bytes insh, art;
    Put32(insh, uint32_t(regions.size())), Put32(insh, bank), Put32(insh, 0);
    Put32(art, 8), Put32(art, 2);
    for (auto [destination, seconds] : {std::pair{0x0206u, attack}, std::pair{0x0209u, release}})
        Put32(art, 0), Put32(art, destination), Put32(art, uint32_t(std::lround(1200 * std::log2(seconds) * 65536)));
    const Bytes articulation = List("LIST", "lart", {Chunk("art1", art)});
    return List("LIST", "ins ", {Chunk("insh", insh), List("LIST", "lrgn", regions), articulation});
}

// Program 0: low keys a 100-frame sine (441 Hz at unity 69), high keys a 50-frame one (882 Hz
// at unity 81); loud notes above key 60 a 200-frame one labelled a semitone high (unity 58), so
// that it is told apart by pitch. A drum kit (fast attack) with the 50-frame sine.
Bytes TestBank() {
    const std::vector<Bytes> waves = {SineWave(100, 20, 69), SineWave(50, 40, 81), SineWave(200, 10, 58)};
    Bytes ptbl, colh, pool;
    Put32(ptbl, 8), Put32(ptbl, uint32_t(waves.size())), Put32(colh, 2);
    for (const Bytes& w : waves) Put32(ptbl, uint32_t(pool.size())), pool.insert(pool.end(), w.begin(), w.end());
    const Bytes melodic =
        Instrument(0, {Region(0, 59, 0, 127, 0), Region(60, 127, 0, 99, 1), Region(60, 127, 100, 127, 2)}, 0.1, 0.2);
    const Bytes drums = Instrument(0x80000000u, {Region(35, 81, 0, 127, 1)}, 0.001, 0.05);
    return List("RIFF", "DLS ", {Chunk("colh", colh), List("LIST", "lins", {melodic, drums}), Chunk("ptbl", ptbl),
                                 List("LIST", "wvpl", {pool})});
}

double Rms(const std::vector<float>& s, double from, double to) {
    double sum = 0;
    const size_t a = size_t(from * kRate), b = size_t(to * kRate);
    for (size_t i = a; i < b; ++i) sum += s[2 * i] * s[2 * i];
    return std::sqrt(sum / double(b - a));
}

TEST(MidiDls, RegionsLoopsAndEnvelopesPlayAsWritten) {
    const Bytes file = TestBank();
    midi::Bank bank;
    ASSERT_EQ(midi::ReadDls(file.data(), file.size(), bank), midi::BankResult::Ok);
    struct Case {
        uint8_t channel, key, velocity;
        double hz, attackRatio;
    } const cases[] = {
        {0, 69, 90, 441.0, 0.5},                          // first region at its unity note
        {0, 57, 90, 220.5, 0.5},                          // an octave down
        {0, 81, 90, 882.0, 0.5},                          // second region
        {0, 81, 110, 220.5 * std::exp2(23 / 12.0), 0.5},  // loud: the third wave
        {9, 40, 90, 882.0 * std::exp2(-41 / 12.0), 1.0},  // the drum kit: fast attack
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "channel " << int(c.channel) << " key " << int(c.key) << " velocity "
                                          << int(c.velocity));
        Bytes t;  // a second of a note, far longer than the waves
        Event(t, 0, {uint8_t(0x90 | c.channel), c.key, c.velocity});
        Event(t, 960, {uint8_t(0x80 | c.channel), c.key, 0});
        const std::vector<float> s = RenderFile(Smf(0, 480, {t}), bank);
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
