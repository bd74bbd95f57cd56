// The loaders against libopenmpt on every module in a few Debian packages (layout, names,
// order list and every pattern cell with its volume column and effect), recognition by content, and damaged files.
#include <libopenmpt/libopenmpt.h>

#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "debian_modules.h"
#include "tracker/load.h"

namespace {

using namespace tracker;
using namespace trackref;
using Bytes = std::vector<uint8_t>;

std::string Take(const char* text) {
    std::string s = text ? text : "";
    openmpt_free_string(text);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

bool Ascii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// How each format writes our effects: MOD and XM by number, S3M and IT by letter.
char EffectLetter(ModuleType type, Effect e) {
    const bool letters = type == ModuleType::S3m || type == ModuleType::It;
    static const std::map<Effect, std::pair<char, char>> kLetters = {
        {Effect::None, {'.', '.'}}, {Effect::Arpeggio, {'0', 'J'}}, {Effect::PortaUp, {'1', 'F'}},
        {Effect::PortaDown, {'2', 'E'}}, {Effect::TonePorta, {'3', 'G'}}, {Effect::Vibrato, {'4', 'H'}},
        {Effect::TonePortaVolSlide, {'5', 'L'}}, {Effect::VibratoVolSlide, {'6', 'K'}}, {Effect::Tremolo, {'7', 'R'}},
        {Effect::SetPan, {'8', 'X'}}, {Effect::SampleOffset, {'9', 'O'}}, {Effect::VolumeSlide, {'A', 'D'}},
        {Effect::PositionJump, {'B', 'B'}}, {Effect::SetVolume, {'C', '?'}}, {Effect::PatternBreak, {'D', 'C'}},
        {Effect::ModExtended, {'E', '?'}}, {Effect::SpeedOrTempo, {'F', '?'}}, {Effect::SetSpeed, {'?', 'A'}},
        {Effect::SetTempo, {'?', 'T'}}, {Effect::S3mExtended, {'?', 'S'}}, {Effect::GlobalVolume, {'G', 'V'}},
        {Effect::GlobalVolumeSlide, {'H', 'W'}}, {Effect::KeyOff, {'K', '?'}}, {Effect::SetEnvelopePosition, {'L', '?'}},
        {Effect::PanSlide, {'P', 'P'}}, {Effect::Retrigger, {'R', 'Q'}}, {Effect::Tremor, {'T', 'I'}},
        {Effect::ExtraFinePorta, {'X', '?'}}, {Effect::FineVibrato, {'?', 'U'}}, {Effect::ChannelVolume, {'?', 'M'}},
        {Effect::ChannelVolumeSlide, {'?', 'N'}}, {Effect::Panbrello, {'?', 'Y'}}, {Effect::MidiMacro, {'?', 'Z'}},
    };
    const auto it = kLetters.find(e);
    return it == kLetters.end() ? '?' : letters ? it->second.second : it->second.first;
}

// libopenmpt tidies two parameters when loading: an IT volume slide with both nibbles set
// and a MOD/XM pattern break past the last row. We keep the bytes; the player decides.
bool ParameterTidied(ModuleType type, Effect e) {
    return (e == Effect::VolumeSlide && type == ModuleType::It) ||
           (e == Effect::PatternBreak && (type == ModuleType::Mod || type == ModuleType::Xm));
}

// Differences between our module and libopenmpt's, as text, the first few of each kind.
std::vector<std::string> Differences(const Module& ours, openmpt_module* theirs) {
    std::vector<std::string> out;
    const auto differ = [&](const std::string& what) { if (out.size() < 12) out.push_back(what); };
    const auto count = [&](const char* what, int mine, int reference) {
        if (mine != reference) differ(std::string(what) + " " + std::to_string(mine) + " vs " + std::to_string(reference));
    };
    count("channels", ours.channels, openmpt_module_get_num_channels(theirs));
    count("orders", int(ours.orders.size()), openmpt_module_get_num_orders(theirs));
    count("patterns", int(ours.patterns.size()), openmpt_module_get_num_patterns(theirs));
    count("samples", int(ours.samples.size()), openmpt_module_get_num_samples(theirs));
    count("instruments", int(ours.instruments.size()), openmpt_module_get_num_instruments(theirs));
    if (!out.empty()) return out;
    if (ours.title != Take(openmpt_module_get_metadata(theirs, "title"))) differ("title " + ours.title);
    for (size_t i = 0; i < ours.samples.size(); ++i) {
        const std::string name = Take(openmpt_module_get_sample_name(theirs, int(i)));
        if (Ascii(name) && name != ours.samples[i].name) differ("sample name " + ours.samples[i].name + " vs " + name);
    }
    for (size_t i = 0; i < ours.instruments.size(); ++i) {
        const std::string name = Take(openmpt_module_get_instrument_name(theirs, int(i)));
        if (Ascii(name) && name != ours.instruments[i].name) differ("instrument name " + ours.instruments[i].name);
    }
    for (size_t i = 0; i < ours.orders.size(); ++i) {
        const int order = ours.orders[i] == kOrderSkip ? 0xFFFE : ours.orders[i] == kOrderEnd ? 0xFFFF : ours.orders[i];
        count("order", order, openmpt_module_get_order_pattern(theirs, int(i)));
    }
    for (size_t p = 0; p < ours.patterns.size(); ++p) {
        const Pattern& pattern = ours.patterns[p];
        count("rows", pattern.rows, openmpt_module_get_pattern_num_rows(theirs, int(p)));
        for (int row = 0; row < pattern.rows; ++row) {
            for (int c = 0; c < ours.channels; ++c) {
                const Cell& cell = pattern.cells[size_t(row) * ours.channels + c];
                const auto command = [&](int kind) { return openmpt_module_get_pattern_row_channel_command(theirs, int(p), row, c, kind); };
                const std::string letter = Take(openmpt_module_format_pattern_row_channel_command(theirs, int(p), row, c, OPENMPT_MODULE_COMMAND_EFFECT));
                const std::string at = " at " + std::to_string(p) + "/" + std::to_string(row) + "/" + std::to_string(c);
                if (cell.note != command(OPENMPT_MODULE_COMMAND_NOTE)) differ("note" + at);
                if (cell.instrument != command(OPENMPT_MODULE_COMMAND_INSTRUMENT)) differ("instrument" + at);
                // libopenmpt's volume column letters, in the order of our VolumeCommand.
                const char volumeLetter = " vpcdabuhlrgfe"[static_cast<int>(cell.volumeCommand)];
                const std::string volume = Take(openmpt_module_format_pattern_row_channel_command(theirs, int(p), row, c, OPENMPT_MODULE_COMMAND_VOLUMEEFFECT));
                if (volume != std::string(volumeLetter == ' ' ? 0 : 1, volumeLetter)) differ("volume column " + volume + at);
                else if (volumeLetter != ' ' && cell.volumeParam != command(OPENMPT_MODULE_COMMAND_VOLUME))
                    differ("volume parameter" + at);
                if (letter != std::string(1, EffectLetter(ours.type, cell.effect))) differ("effect " + letter + at);
                else if (cell.effect != Effect::None && !ParameterTidied(ours.type, cell.effect) &&
                         cell.effectParam != command(OPENMPT_MODULE_COMMAND_PARAMETER))
                    differ("parameter" + at);
            }
        }
    }
    return out;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "\n  " + line;
    return text;
}

TEST(TrackerLoaders, EveryDebianModuleLoadsAsLibopenmptReadsIt) {
    if (const std::string skipped = DebianModulesSkipped(); !skipped.empty()) GTEST_SKIP() << "Debian modules: " << skipped;
    const auto files = DebianModules();
    std::map<ModuleType, int> loaded;
    for (const auto& path : files) {
        const Bytes file = ReadWholeFile(path);
        Module ours;
        ASSERT_EQ(LoadModule(file.data(), file.size(), ours), LoadResult::Ok) << path;
        EXPECT_EQ(ProbeModule(file.data(), std::min<size_t>(file.size(), 4096)), 100) << path;
        openmpt_module* theirs = openmpt_module_create_from_memory2(file.data(), file.size(), nullptr, nullptr, nullptr,
                                                                   nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(theirs, nullptr) << path;
        EXPECT_EQ(Joined(Differences(ours, theirs)), "") << path;
        openmpt_module_destroy(theirs);
        ++loaded[ours.type];
    }
    // All four formats, many of each (one of the MODs is an XM by content).
    EXPECT_GE(loaded[ModuleType::Mod], 10);
    EXPECT_GE(loaded[ModuleType::S3m], 8);
    EXPECT_GE(loaded[ModuleType::Xm], 10);
    EXPECT_GE(loaded[ModuleType::It], 15);
}

// A 31-sample MOD rewritten as a 15-sample Soundtracker file: found by its plausible
// header alone, and read as libopenmpt reads it.
TEST(TrackerLoaders, SoundtrackerFileWithoutSignature) {
    const Bytes mod = DebianModule("high-score.mod");
    if (mod.empty()) GTEST_SKIP() << "no Debian modules";
    Bytes st(mod.begin(), mod.begin() + 20 + 15 * 30);
    for (int i = 0; i < 15; ++i) st[20 + i * 30 + 24] = 0;  // no finetune there
    st.insert(st.end(), mod.begin() + 950, mod.begin() + 1080);
    int patterns = 0;
    for (int i = 0; i < 128; ++i) patterns = std::max(patterns, mod[952 + i] + 1);
    const size_t patternBytes = size_t(patterns) * 1024;
    st.insert(st.end(), mod.begin() + 1084, mod.begin() + 1084 + patternBytes);
    size_t sampleBytes = 0;
    for (int i = 0; i < 15; ++i) sampleBytes += (mod[20 + i * 30 + 22] << 8 | mod[20 + i * 30 + 23]) * 2;
    st.insert(st.end(), mod.begin() + 1084 + patternBytes, mod.begin() + 1084 + patternBytes + sampleBytes);

    EXPECT_EQ(ProbeModule(st.data(), 4096), 30);
    Module ours;
    ASSERT_EQ(LoadModule(st.data(), st.size(), ours), LoadResult::Ok);
    EXPECT_TRUE(ours.soundtracker15);
    openmpt_module* theirs = openmpt_module_create_from_memory2(st.data(), st.size(), nullptr, nullptr, nullptr,
                                                               nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(theirs, nullptr);
    EXPECT_EQ(Joined(Differences(ours, theirs)), "");
    openmpt_module_destroy(theirs);
}

TEST(TrackerLoaders, OtherContentIsNoModule) {
    const Bytes zeros(4096, 0);
    Bytes text(4096, 'a');
    for (size_t i = 0; i < text.size(); i += 7) text[i] = ' ';
    for (const Bytes& b : {zeros, text, Bytes{'I', 'M', 'P'}, Bytes{}}) {
        EXPECT_EQ(ProbeModule(b.data(), b.size()), 0);
        Module m;
        EXPECT_EQ(LoadModule(b.data(), b.size(), m), LoadResult::NotModule);
    }
}

// What load.h promises of any module it hands out.
void ExpectSound(const Module& m, size_t fileBytes) {
    EXPECT_TRUE(m.channels >= 1 && m.channels <= 64) << m.channels;
    EXPECT_GT(m.initialSpeed, 0);
    uint64_t floats = 0;
    for (const Pattern& p : m.patterns) EXPECT_EQ(p.cells.size(), size_t(p.rows) * size_t(m.channels));
    for (const Sample& s : m.samples) {
        EXPECT_EQ(s.pcm.size(), size_t(s.frames) * size_t(s.channels));
        for (const Loop& l : {s.loop, s.sustainLoop})
            if (l.type != LoopType::None) {
                EXPECT_TRUE(l.start < l.end && l.end <= s.frames) << s.name;
            }
        floats += s.pcm.size();
    }
    EXPECT_LE(floats, 64 * fileBytes + (1u << 20));
}

void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t Get32(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; }
uint16_t Get16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

// Each IT sample header, through the pointer table.
void ForEachItSample(Bytes& b, const std::function<void(size_t)>& f) {
    const size_t table = 192 + Get16(b, 32) + Get16(b, 34) * 4;
    for (int i = 0; i < Get16(b, 36); ++i) f(Get32(b, table + i * 4));
}

struct HostileCase {
    const char* name;
    const char* module;
    std::function<void(Bytes&)> damage;
    LoadResult expected;
};

const HostileCase kHostile[] = {
    {"mod_cut_to_its_header", "high-score.mod", [](Bytes& b) { b.resize(1084); }, LoadResult::Damaged},
    {"mod_cut_in_a_pattern", "high-score.mod", [](Bytes& b) { b.resize(1084 + 1500); }, LoadResult::Ok},
    {"mod_cut_in_a_sample", "high-score.mod", [](Bytes& b) { b.resize(b.size() - 5000); }, LoadResult::Ok},
    {"mod_samples_past_the_end", "high-score.mod",
     [](Bytes& b) { for (int i = 0; i < 31; ++i) b[20 + i * 30 + 22] = b[20 + i * 30 + 23] = 0xFF; }, LoadResult::Ok},
    {"mod_loops_past_the_samples", "high-score.mod",
     [](Bytes& b) { for (int i = 0; i < 31; ++i) b[20 + i * 30 + 26] = b[20 + i * 30 + 28] = 0x7F; }, LoadResult::Ok},
    {"mod_zero_channels", "high-score.mod", [](Bytes& b) { std::copy_n("0CHN", 4, b.begin() + 1080); }, LoadResult::NotModule},
    {"s3m_cut_in_the_header", "ritam.s3m", [](Bytes& b) { b.resize(0x50); }, LoadResult::Damaged},
    {"s3m_no_channels", "ritam.s3m", [](Bytes& b) { std::fill_n(b.begin() + 0x40, 32, 0xFF); }, LoadResult::Damaged},
    {"s3m_speed_zero", "ritam.s3m", [](Bytes& b) { b[0x31] = 0; }, LoadResult::Ok},
    {"s3m_parapointers_past_the_end", "ritam.s3m",
     [](Bytes& b) { std::fill(b.begin() + 0x60 + Get16(b, 0x20), b.begin() + 0x60 + Get16(b, 0x20) + 2 * Get16(b, 0x22), 0xFF); },
     LoadResult::Ok},
    {"xm_zero_channels", "dali.xm", [](Bytes& b) { b[68] = b[69] = 0; }, LoadResult::Damaged},
    {"xm_pattern_sizes_past_the_end", "dali.xm", [](Bytes& b) { b[60 + Get32(b, 60) + 7] = 0xFF; b[60 + Get32(b, 60) + 8] = 0xFF; }, LoadResult::Ok},
    {"xm_cut_in_half", "dali.xm", [](Bytes& b) { b.resize(b.size() / 2); }, LoadResult::Ok},
    {"it_cut_in_half", "gd-matth.it", [](Bytes& b) { b.resize(b.size() / 2); }, LoadResult::Ok},
    {"it_samples_past_the_end", "gd-matth.it", [](Bytes& b) { ForEachItSample(b, [&](size_t at) { Put32(b, at + 0x30, 0x7FFFFFFF); }); }, LoadResult::Ok},
    {"it_loops_outside_the_samples", "gd-matth.it",
     [](Bytes& b) { ForEachItSample(b, [&](size_t at) { b[at + 0x12] |= 0x30; Put32(b, at + 0x34, 5); Put32(b, at + 0x38, 0xFFFFFFF0); Put32(b, at + 0x40, 9); Put32(b, at + 0x44, 3); }); },
     LoadResult::Ok},
    {"it_orders_without_patterns", "gd-matth.it", [](Bytes& b) { std::fill_n(b.begin() + 192, Get16(b, 32), 200); }, LoadResult::Damaged},
};

class Hostile : public testing::TestWithParam<HostileCase> {};

TEST_P(Hostile, PlaysWhatItCanOrIsRefused) {
    Bytes file = DebianModule(GetParam().module);
    if (file.empty()) GTEST_SKIP() << "no Debian modules";
    GetParam().damage(file);
    Module m;
    ASSERT_EQ(LoadModule(file.data(), file.size(), m), GetParam().expected);
    if (GetParam().expected == LoadResult::Ok) ExpectSound(m, file.size());
}

INSTANTIATE_TEST_SUITE_P(Table, Hostile, testing::ValuesIn(kHostile), [](const auto& info) { return std::string(info.param.name); });

}  // namespace
