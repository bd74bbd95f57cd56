// A real SoundFont (TimGM6mb from Debian) played by us and by FluidSynth: loudness and pitch.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "support.h"

namespace midi_test {
namespace {

const std::string kFolder = QUENDRA_MIDI_SOUNDFONT;

class Reference : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<uint8_t> skipped = ReadFile(kFolder + "/SKIPPED");
        if (!skipped.empty()) GTEST_SKIP() << std::string(skipped.begin(), skipped.end());
        if (std::system("command -v fluidsynth >/dev/null") != 0) GTEST_SKIP() << "fluidsynth is not installed";
        const std::vector<uint8_t> sf2 = ReadFile(kFolder + "/TimGM6mb.sf2");
        ASSERT_EQ(midi::ReadSoundFont(sf2.data(), sf2.size(), bank_), midi::BankResult::Ok);
    }

    // Ours and FluidSynth's rendering of the file, both without reverb and chorus.
    void RenderBoth(const std::vector<uint8_t>& file, std::vector<float>& ours, std::vector<float>& theirs) {
        const std::string mid = ::testing::TempDir() + "midi_reference.mid";
        const std::string raw = ::testing::TempDir() + "midi_reference.raw";
        std::ofstream(mid, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
        const std::string command = "fluidsynth -ni -q -R 0 -C 0 -r 44100 -T raw -O s16 -F " + raw + " " + kFolder +
                                    "/TimGM6mb.sf2 " + mid + " >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const std::vector<uint8_t> b = ReadFile(raw);  // 16-bit stereo
        for (size_t i = 0; i + 1 < b.size(); i += 2) theirs.push_back(float(int16_t(b[i] | b[i + 1] << 8)) / 32768.0f);
        ASSERT_FALSE(theirs.empty());
        ours = RenderFile(file, bank_);
        std::remove(mid.c_str());
        std::remove(raw.c_str());
    }

    midi::Bank bank_;
};

// Period in frames by autocorrelation near the expected one, refined between frames.
double Period(const std::vector<float>& stereo, double startSeconds, double expected) {
    const size_t start = size_t(startSeconds * kRate), n = kRate / 2;
    auto score = [&](int lag) {
        double sum = 0;
        for (size_t i = start; i < start + n; ++i) sum += double(stereo[2 * i]) * stereo[2 * (i + lag)];
        return sum;
    };
    int best = int(expected);
    for (int lag = int(expected * 0.97); lag <= int(expected * 1.03) + 1; ++lag)
        if (score(lag) > score(best)) best = lag;
    const double a = score(best - 1), b = score(best), c = score(best + 1);
    return best + 0.5 * (a - c) / (a - 2 * b + c);
}

TEST_F(Reference, SingleNotePitchAgreesWithinACent) {
    struct Case {
        uint8_t program, key;
    } const cases[] = {{0, 69}, {19, 57}, {73, 76}, {32, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "program " << int(c.program) << " key " << int(c.key));
        Bytes t;
        Event(t, 0, {0xC0, c.program});
        Event(t, 0, {0x90, c.key, 100});
        Event(t, 960, {0x80, c.key, 0});
        std::vector<float> ours, theirs;
        RenderBoth(Smf(0, 480, {t}), ours, theirs);
        const double expected = kRate / (440.0 * std::pow(2.0, (c.key - 69) / 12.0));
        const double cents = 1200 * std::log2(Period(theirs, 0.3, expected) / Period(ours, 0.3, expected));
        std::printf("program %d key %d: %+.3f cents against FluidSynth\n", c.program, c.key, cents);
        EXPECT_NEAR(cents, 0.0, 1.0);
    }
}

// A few bars on piano, strings, bass and drums, with changes of volume and a pitch bend.
Bytes Ensemble() {
    Bytes t;
    for (auto [status, program] : {std::pair<uint8_t, uint8_t>{0xC0, 0}, {0xC1, 48}, {0xC2, 33}}) Event(t, 0, {status, program});
    const uint8_t chords[4][3] = {{60, 64, 67}, {57, 60, 64}, {65, 69, 72}, {67, 71, 74}};
    for (int bar = 0; bar < 4; ++bar) {
        const uint8_t* c = chords[bar];
        Event(t, 0, {0xB1, 7, uint8_t(60 + 20 * bar)});
        Event(t, 0, {0x91, c[0], 80});
        Event(t, 0, {0x92, uint8_t(c[0] - 24), 100});
        for (int beat = 0; beat < 4; ++beat) {
            const uint8_t drum = beat % 2 ? 38 : 36, key = c[beat % 3];
            Event(t, 0, {0x99, drum, 110});
            Event(t, 0, {0x99, 42, 70});
            Event(t, 0, {0x90, key, uint8_t(70 + 10 * beat)});
            Event(t, 360, {0x80, key, 0});
            for (uint8_t off : {drum, uint8_t(42)}) Event(t, 0, {0x89, off, 0});
            if (beat == 2) Event(t, 0, {0xE2, 0, 0x50});
            Event(t, 120, {0xE2, 0, 0x40});
        }
        Event(t, 0, {0x81, c[0], 0});
        Event(t, 0, {0x82, uint8_t(c[0] - 24), 0});
    }
    return Smf(0, 480, {t});
}

TEST_F(Reference, LoudnessEnvelopeCorrelates) {
    std::vector<float> ours, theirs;
    RenderBoth(Ensemble(), ours, theirs);
    const double r = Correlation(RmsEnvelope(ours), RmsEnvelope(theirs));
    std::printf("RMS envelope correlation with FluidSynth: %.4f\n", r);
    EXPECT_GE(r, 0.95);
}

}  // namespace
}  // namespace midi_test
