// The player against what the reference comparison cannot see: exact frame counts through
// breaks, jumps and loops, where a looping song stops, and a voice left by an ended note.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tracker/player.h"

using namespace tracker;

namespace {

constexpr uint32_t kRate = 44100;

// `patterns` patterns of `rows` rows in order, and a square sample of 32-frame cycles per
// entry of `sampleFrames` (0: one looped cycle, else a one-shot of that many frames).
std::shared_ptr<Module> MakeModule(ModuleType type, int channels, int patterns, int rows, std::vector<int> sampleFrames = {}) {
    auto module = std::make_shared<Module>();
    module->type = type;
    module->channels = channels;
    for (int p = 0; p < patterns; ++p) {
        module->patterns.push_back(Pattern{rows, std::vector<Cell>(size_t(rows) * channels)});
        module->orders.push_back(uint16_t(p));
    }
    module->channelPan.assign(channels, 128);
    module->channelVolume.assign(channels, 64);
    module->channelMuted.assign(channels, false);
    for (int frames : sampleFrames) {
        Sample sample;
        sample.frames = frames ? frames : 32;
        for (uint32_t i = 0; i < sample.frames; ++i) sample.pcm.push_back(i % 32 < 16 ? 0.5f : -0.5f);
        if (!frames) sample.loop = {LoopType::Forward, 0, 32};
        module->samples.push_back(sample);
    }
    return module;
}

Cell& At(Module& module, int pattern, int row, int channel) {
    return module.patterns[pattern].cells[size_t(row) * module.channels + channel];
}

Cell Note(uint8_t note, uint8_t instrument = 1, Effect effect = Effect::None, uint8_t param = 0) {
    return Cell{note, instrument, VolumeCommand::None, 0, effect, param};
}

std::vector<float> RenderAll(const std::shared_ptr<Module>& module, size_t limit = 50 * kRate) {
    Player player(module, RenderSettings{kRate, Interpolation::Linear, 100});
    std::vector<float> out(limit * 2);
    out.resize(player.Render(out.data(), limit) * 2);
    return out;
}

float PeakOver(const std::vector<float>& stereo, size_t from, size_t to) {
    float peak = 0;
    for (size_t i = from; i < to; ++i) peak = std::max(peak, std::fabs(stereo[i * 2]));
    return peak;
}

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
        {"tempo 137: 804.7 frames a tick", ModuleType::S3m, {0}, {}, 64, 1, 137},
        {"speed 31, tempo 255", ModuleType::S3m, {0}, {}, 64, 31, 255},
        {"tempo 32", ModuleType::S3m, {0}, {}, 64, 2, 32},
    };
    for (const Case& c : cases) {
        auto module = MakeModule(c.type, 4, 3, 64);
        module->initialSpeed = uint8_t(c.speed);
        module->initialTempo = uint8_t(c.tempo);
        module->orders = c.orders;
        for (auto [pattern, row, channel, effect, param] : c.cells) At(*module, pattern, row, channel) = Note(kNoteNone, 0, effect, param);
        Player player(module, RenderSettings{kRate});
        EXPECT_EQ(player.LengthFrames(), uint64_t(c.rows) * c.speed * uint64_t(kRate * 2.5 / c.tempo)) << c.name;
    }
}

TEST(TrackerPlayer, RenderStopsExactlyAtTheEndAndLoopsWhenAsked) {
    auto module = MakeModule(ModuleType::Mod, 4, 1, 4, {0});
    At(*module, 0, 0, 0) = Note(61);
    Player player(module, RenderSettings{kRate});
    const uint64_t length = player.LengthFrames();
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
    auto module = MakeModule(ModuleType::Mod, 2, 1, 8, {16, 0});  // 16 frames: two milliseconds at C-5
    At(*module, 0, 0, 0) = Note(61, 1);
    At(*module, 0, 1, 1) = Note(61, 2);
    At(*module, 0, 2, 0) = Note(61, 1);
    EXPECT_GT(PeakOver(RenderAll(module), 3 * 6 * 882, 4 * 6 * 882), 0.05f);
}
