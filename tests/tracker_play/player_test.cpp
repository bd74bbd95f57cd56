// The player against what can be worked out without it: frames per tick from the tempo,
// row sequences through breaks, jumps and loops, pitch from the period formulas, slides
// tick by tick, seeking, and the end of the song.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "module_builder.h"
#include "tracker/player.h"

using namespace tracker;
using tracker_test::AddInstrument;
using tracker_test::AddSample;
using tracker_test::At;
using tracker_test::MakeModule;

namespace {

constexpr uint32_t kRate = 44100;
constexpr double kPal = 7093789.2 / 2;  // the Amiga's sample clock per period unit

std::vector<float> RenderAll(const std::shared_ptr<Module>& module, size_t limit = 50 * kRate) {
    Player player(module, RenderSettings{kRate, Interpolation::Linear, 100});
    std::vector<float> out(limit * 2);
    size_t frames = player.Render(out.data(), limit);
    out.resize(frames * 2);
    return out;
}

// Frequency of the left channel over [from, to) frames from its rising zero crossings.
double MeasureFrequency(const std::vector<float>& stereo, size_t from, size_t to) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        float a = stereo[(i - 1) * 2], b = stereo[i * 2];
        if (a < 0 && b >= 0) {
            double at = static_cast<double>(i - 1) + a / (a - b);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    return crossings > 1 ? (crossings - 1) * kRate / (last - first) : 0;
}

float PeakOver(const std::vector<float>& stereo, size_t from, size_t to) {
    float peak = 0;
    for (size_t i = from; i < to; ++i) peak = std::max(peak, std::fabs(stereo[i * 2]));
    return peak;
}

Cell Note(uint8_t note, uint8_t instrument = 1, Effect effect = Effect::None, uint8_t param = 0) {
    return Cell{note, instrument, VolumeCommand::None, 0, effect, param};
}

Cell Fx(Effect effect, uint8_t param) { return Note(kNoteNone, 0, effect, param); }

}  // namespace

// Rows played times the row's frames: speed ticks of 2.5 / tempo seconds, in whole frames
// (the fraction dropped, as the reference player counts them).
TEST(TrackerPlayer, SongLengthFollowsJumpsBreaksAndLoopsAndStopsAtTheFirstRevisit) {
    struct Case {
        const char* name;
        ModuleType type;
        std::vector<uint16_t> orders;
        std::vector<std::tuple<int, int, int, Effect, uint8_t>> cells;  // pattern, row, channel
        int rows;
        int speed = 1, tempo = 125;
    };
    const std::vector<Case> cases = {
        {"straight through", ModuleType::Mod, {0, 1}, {}, 128},
        {"break to row 32 (decimal digits)", ModuleType::Mod, {0, 1}, {{0, 15, 0, Effect::PatternBreak, 0x32}}, 16 + 32},
        {"break beyond the pattern", ModuleType::Mod, {0, 1}, {{0, 0, 0, Effect::PatternBreak, 0x70}}, 1 + 64},
        {"jump back ends at the revisit", ModuleType::Mod, {0, 1}, {{1, 63, 0, Effect::PositionJump, 0}}, 128},
        {"jump back into the middle", ModuleType::Xm, {0, 1}, {{1, 9, 0, Effect::PositionJump, 0}}, 64 + 10},
        {"jump and break on one row", ModuleType::S3m, {0, 1, 2}, {{0, 0, 0, Effect::PositionJump, 2}, {0, 0, 1, Effect::PatternBreak, 10}}, 1 + 54},
        {"jump beyond the order list ends", ModuleType::It, {0, 1}, {{0, 3, 1, Effect::PositionJump, 9}}, 4},
        {"pattern loop E6x", ModuleType::Mod, {0}, {{0, 2, 0, Effect::ModExtended, 0x60}, {0, 5, 0, Effect::ModExtended, 0x62}}, 64 + 2 * 4},
        {"two channels' loops nest", ModuleType::It, {0}, {{0, 0, 0, Effect::S3mExtended, 0xB0}, {0, 1, 0, Effect::S3mExtended, 0xB1}, {0, 1, 1, Effect::S3mExtended, 0xB0}, {0, 3, 1, Effect::S3mExtended, 0xB1}}, 64 + 2 + 3},
        {"FT2 starts the next pattern at the loop row", ModuleType::Xm, {0, 1}, {{0, 4, 0, Effect::ModExtended, 0x60}, {0, 5, 0, Effect::ModExtended, 0x61}}, 64 + 2 + 60},
        {"pattern delay repeats a row", ModuleType::Mod, {0}, {{0, 7, 0, Effect::ModExtended, 0xE3}}, 64 + 3},
        {"speed change", ModuleType::S3m, {0}, {{0, 0, 0, Effect::SetSpeed, 2}}, 128},
        {"order list markers skip and end", ModuleType::S3m, {0, kOrderSkip, 1, kOrderEnd, 2}, {}, 128},
        {"speed 6, tempo 125", ModuleType::S3m, {0}, {}, 64, 6, 125},
        {"tempo 150", ModuleType::S3m, {0}, {}, 64, 3, 150},
        {"tempo 137: 804.7 frames a tick", ModuleType::S3m, {0}, {}, 64, 1, 137},
        {"speed 31, tempo 255", ModuleType::S3m, {0}, {}, 64, 31, 255},
        {"tempo 32", ModuleType::S3m, {0}, {}, 64, 2, 32},
    };
    for (const Case& c : cases) {
        auto module = MakeModule(c.type, 4, 3, 64);
        module->initialSpeed = static_cast<uint8_t>(c.speed);
        module->initialTempo = static_cast<uint8_t>(c.tempo);
        module->orders = c.orders;
        for (auto [pattern, row, channel, effect, param] : c.cells) At(*module, pattern, row, channel) = Fx(effect, param);
        Player player(module, RenderSettings{kRate});
        uint64_t framesPerTick = static_cast<uint64_t>(kRate * 2.5 / c.tempo);
        EXPECT_EQ(player.LengthFrames(), static_cast<uint64_t>(c.rows) * c.speed * framesPerTick) << c.name;
    }
}

// The sample plays one cycle of 32 frames, so the tone is its rate over 32. Slides run for
// the first row (five ticks at speed 6); the pitch is measured on the rows after.
TEST(TrackerPlayer, NotesAndSlidesPlayAtThePitchTheirPeriodsGive) {
    struct Case { ModuleType type; bool linear; uint8_t note; uint32_t c5; Effect effect; uint8_t param; double rate; int8_t finetune = 0; };
    const double c5 = 8363;
    const std::vector<Case> cases = {
        {ModuleType::Mod, false, 61, 8363, Effect::None, 0, kPal / 428},  // ProTracker C-2, period 428
        {ModuleType::Mod, false, 73, 8363, Effect::None, 0, kPal / 214},  // C-3
        {ModuleType::Mod, false, 58, 8363, Effect::None, 0, kPal / 508},
        {ModuleType::Mod, false, 65, 8363, Effect::None, 0, kPal / 339},  // E-2: 339, not 340
        {ModuleType::Mod, false, 65, 8363, Effect::None, 0, kPal / 342, -16},  // E-2 finetune -1: 342
        {ModuleType::S3m, false, 61, 22050, Effect::None, 0, 22050},
        {ModuleType::S3m, false, 68, 8363, Effect::None, 0, c5 * 1712 / 1140},  // ST3's period of G
        {ModuleType::Xm, true, 49, 8363, Effect::None, 0, c5 / 2},
        {ModuleType::It, true, 64, 44100, Effect::None, 0, 44100 * std::pow(2.0, 3 / 12.0)},
        {ModuleType::It, false, 56, 16000, Effect::None, 0, 16000 * std::pow(2.0, -5 / 12.0)},
        {ModuleType::Mod, false, 61, 8363, Effect::PortaUp, 4, kPal / (428 - 5 * 4)},
        {ModuleType::Mod, false, 61, 8363, Effect::PortaDown, 10, kPal / (428 + 5 * 10)},
        {ModuleType::S3m, false, 61, 8363, Effect::PortaUp, 0xF8, c5 * 1712 / (1712 - 4 * 8)},  // fine: once
        {ModuleType::S3m, false, 61, 8363, Effect::PortaDown, 0xE8, c5 * 1712 / (1712 + 8)},    // extra fine
        {ModuleType::It, true, 61, 8363, Effect::PortaUp, 8, c5 * std::pow(2.0, 5 * 8 * 4 / 768.0)},
        {ModuleType::Xm, true, 61, 8363, Effect::PortaDown, 3, c5 * std::pow(2.0, -5 * 3 * 4 / 768.0)},
    };
    for (const Case& c : cases) {
        auto module = MakeModule(c.type, 1, 1, 8);
        module->linearSlides = c.linear;
        AddSample(*module, 32, true);
        module->samples[0].c5Speed = c.c5;
        module->samples[0].finetune = c.finetune;
        if (c.type == ModuleType::Xm) AddInstrument(*module, 1);
        At(*module, 0, 0, 0) = Note(c.note, 1, c.effect, c.param);
        auto out = RenderAll(module);
        EXPECT_NEAR(MeasureFrequency(out, 6 * 882 + 500, out.size() / 2), c.rate / 32, c.rate / 32 * 0.001)
            << int(c.note) << " " << int(c.param);
    }
}

// A square at full scale; each tick's level after the ramp settles against (volume / 64).
TEST(TrackerPlayer, VolumeSlidesChangeTheLevelPerTick) {
    struct Case { ModuleType type; Effect effect; uint8_t param; bool fast; std::vector<int> volumes; };
    const std::vector<Case> cases = {
        {ModuleType::Mod, Effect::VolumeSlide, 0x04, false, {64, 60, 56, 52, 48, 44}},
        {ModuleType::Mod, Effect::VolumeSlide, 0x20, false, {32, 34, 36, 38, 40, 42}},
        {ModuleType::S3m, Effect::VolumeSlide, 0x08, false, {64, 56, 48, 40, 32, 24}},
        {ModuleType::S3m, Effect::VolumeSlide, 0x08, true, {56, 48, 40, 32, 24, 16}},
        {ModuleType::S3m, Effect::VolumeSlide, 0x4F, false, {36, 36, 36, 36, 36, 36}},  // fine up on tick 0
        {ModuleType::It, Effect::VolumeSlide, 0xF3, false, {61, 61, 61, 61, 61, 61}},   // fine down
    };
    for (const Case& c : cases) {
        auto module = MakeModule(c.type, 1, 1, 2);
        module->fastVolumeSlides = c.fast;
        AddSample(*module, 32, true, c.volumes[0] == 32 || c.param == 0x4F ? 32 : 64);
        At(*module, 0, 0, 0) = Note(61, 1, c.effect, c.param);
        auto out = RenderAll(module);
        float full = 0;
        for (size_t tick = 0; tick < c.volumes.size(); ++tick) {
            float peak = PeakOver(out, tick * 882 + 400, (tick + 1) * 882);
            if (tick == 0) full = peak / c.volumes[0] * 64;
            EXPECT_NEAR(peak / full * 64, c.volumes[tick], 0.3) << int(c.param) << " tick " << tick;
        }
    }
}

TEST(TrackerPlayer, SeekingThenRenderingEqualsRenderingFromTheStart) {
    auto module = MakeModule(ModuleType::Xm, 2, 2, 32);
    module->linearSlides = true;
    AddSample(*module, 40, false);
    AddSample(*module, 24, true);
    for (int i = 1; i <= 2; ++i) {
        Instrument& instrument = AddInstrument(*module, i);
        instrument.volumeEnvelope.enabled = true;
        instrument.volumeEnvelope.points = {{0, 64}, {20, 30}, {60, 50}};
        instrument.fadeout = 600;
    }
    At(*module, 0, 0, 0) = Note(61, 1, Effect::Vibrato, 0x46);
    At(*module, 0, 4, 1) = Note(66, 2, Effect::VolumeSlide, 0x03);
    At(*module, 0, 9, 0) = Note(kNoteOff, 0);
    At(*module, 0, 12, 0) = Note(58, 2, Effect::TonePorta, 0x10);
    At(*module, 1, 3, 1) = Note(70, 1, Effect::Retrigger, 0x83);
    At(*module, 1, 8, 0) = Note(65, 1, Effect::PortaUp, 0x20);
    auto straight = RenderAll(module);
    for (uint64_t frame : {0ull, 1ull, 882ull * 7 + 13, 882ull * 40, 882ull * 6 * 40 + 5}) {
        Player player(module, RenderSettings{kRate, Interpolation::Linear, 100});
        ASSERT_TRUE(player.SeekToFrame(frame));
        std::vector<float> out(20000 * 2);
        size_t frames = player.Render(out.data(), 20000);
        ASSERT_GT(frames, 0u);
        for (size_t i = 0; i < frames * 2; ++i) ASSERT_NEAR(out[i], straight[frame * 2 + i], 1e-6) << frame << " at " << i;
    }
    Player player(module, RenderSettings{kRate});
    EXPECT_FALSE(player.SeekToFrame(player.LengthFrames() + 1));
}

TEST(TrackerPlayer, RenderStopsExactlyAtTheEndAndLoopsWhenAsked) {
    auto module = MakeModule(ModuleType::Mod, 4, 1, 4);
    AddSample(*module, 32, true);
    At(*module, 0, 0, 0) = Note(61);
    Player player(module, RenderSettings{kRate});
    uint64_t length = player.LengthFrames();
    ASSERT_EQ(length, 4u * 6 * 882);
    std::vector<float> out(10000 * 2 + 2, 7.0f);
    size_t total = 0, got;
    while ((got = player.Render(out.data(), 10000)) > 0) total += got;
    EXPECT_EQ(total, length);
    EXPECT_EQ(out[20000], 7.0f);  // nothing written past the frames asked for

    Player looping(module, RenderSettings{kRate});
    looping.SetLooping(true);
    std::vector<float> twice(length * 2 + 100);
    ASSERT_EQ(looping.Render(twice.data(), length + 50), length + 50);
    EXPECT_GT(PeakOver(twice, length + 10, length + 50), 0.01f);
}

// Channel 0's one-shot note ends, channel 1's note takes the voice it left, then channel 0
// plays again: channel 1 must sound on to its end.
TEST(TrackerPlayer, AnEndedNoteLeavesItsVoiceToOtherChannels) {
    auto module = MakeModule(ModuleType::Mod, 2, 1, 8);
    AddSample(*module, 32, true);
    module->samples[0].loop = {};
    module->samples[0].frames = 16;  // two milliseconds at C-5
    module->samples[0].pcm.resize(16);
    AddSample(*module, 32, true);
    At(*module, 0, 0, 0) = Note(61, 1);
    At(*module, 0, 1, 1) = Note(61, 2);
    At(*module, 0, 2, 0) = Note(61, 1);
    auto out = RenderAll(module);
    EXPECT_GT(PeakOver(out, 3 * 6 * 882, 4 * 6 * 882), 0.05f);
}
