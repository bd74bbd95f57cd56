// Playback's plain logic: the entry-point table, tag texts and numbers, times, bitrates,
// announcements and volume steps.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "playback/audio_engine.h"
#include "playback/tag_text.h"
#include "playback/track_info.h"
#include "playback/track_text.h"
#include "playback/volume.h"

// Each name must land in its own slot: a swapped pair would call the wrong function. A
// library missing any entry point counts as not loaded.
TEST(AudioEngine, EachIndexFillsItsOwnEntryPointAndAnyMissingOneMeansNotResolved) {
    static int marker[kEntryPointCount];
    AudioEngine engine;
    for (int i = 0; i < kEntryPointCount; ++i) SetEntryPoint(engine, i, &marker[i]);
    EXPECT_EQ(reinterpret_cast<void*>(engine.System_Create), &marker[0]);
    EXPECT_EQ(reinterpret_cast<void*>(engine.Channel_GetWaveData), &marker[6]);
    EXPECT_EQ(reinterpret_cast<void*>(engine.Sound_GetTag), &marker[14]);
    EXPECT_EQ(reinterpret_cast<void*>(engine.System_SetStreamBufferSize), &marker[19]);
    EXPECT_EQ(reinterpret_cast<void*>(engine.Channel_GetPriority), &marker[23]);
    EXPECT_TRUE(AllEntryPointsResolved(engine));
    for (int missing = 0; missing < kEntryPointCount; ++missing) {
        AudioEngine partial = engine;
        SetEntryPoint(partial, missing, nullptr);
        EXPECT_FALSE(AllEntryPointsResolved(partial)) << kEntryPointNames[missing];
    }
    SetEntryPoint(engine, -1, &marker[0]);
    SetEntryPoint(engine, kEntryPointCount, &marker[0]);
    EXPECT_FALSE(HasEntryPoint(engine, -1) || HasEntryPoint(engine, kEntryPointCount));
}

TEST(TagText, Utf8OfLatin1IsDecodedAnythingElseKeepsItsBytesUpToLengthOrZero) {
    const std::string cases[][2] = {
        {"M\xC3\xB6we", "M\xF6we"}, {"\xC3\x84rger \xC3\x9F", "\xC4rger \xDF"}, {"plain", "plain"},
        {"M\xF6we", "M\xF6we"},                                                       // Latin-1 already
        {"5 \xE2\x82\xAC", "5 \xE2\x82\xAC"}, {"\xC3\xB6 \xE2\x82\xAC", "\xC3\xB6 \xE2\x82\xAC"},  // beyond Latin-1
        {"\xC1\x81", "\xC1\x81"}, {"ab\xC3", "ab\xC3"}, {"\x80\x80", "\x80\x80"},    // overlong, cut, stray
        {"\xED\xA0\x80", "\xED\xA0\x80"},                                             // a surrogate
        {std::string("Titel\0Rest", 10), "Titel"},
    };
    for (const auto& c : cases) EXPECT_EQ(TagText(c[0].data(), static_cast<unsigned>(c[0].size())), c[1]) << c[0];
    EXPECT_EQ(TagText("Titel", 3), "Tit");
    EXPECT_EQ(TagText(nullptr, 5), "");
    // A code page's encoder decides: the euro sign has a place in this one, the alpha not.
    const NarrowEncoder euroPage = [](const std::u32string& characters, std::string* narrow) {
        narrow->clear();
        for (char32_t c : characters) {
            if (c != 0x20AC && c >= 0x80) return false;
            narrow->push_back(c == 0x20AC ? '\x80' : static_cast<char>(c));
        }
        return true;
    };
    EXPECT_EQ(TagText("5 \xE2\x82\xAC", 5, euroPage), "5 \x80");
    EXPECT_EQ(TagText("\xE2\x82\xAC \xCE\xB1", 6, euroPage), "\xE2\x82\xAC \xCE\xB1");
}

TEST(TagText, ReplayGainUpToTheFirstMisfitAndTrackNumbersFromLeadingDigits) {
    const std::pair<const char*, float> gains[] = {
        {"-6.00 dB", -6.0f}, {"+3.2 dB", 3.2f}, {"0 dB", 0.0f},  {"-6.5.4", -6.5f}, {"-6dB", -6.0f},
        {".5", 0.5f},        {"", 0.0f},        {"dB", 0.0f},    {"-", 0.0f},       {"nan", 0.0f}, {"inf dB", 0.0f},
        {"+999", 0.0f},      {"-61 dB", 0.0f},  {"+60", 60.0f},
    };
    for (const auto& [text, decibels] : gains)
        EXPECT_NEAR(ReplayGainFactor(text), std::pow(10.0f, decibels / 20.0f), 1e-6f) << text;
    const std::pair<const char*, int32_t> numbers[] = {{"3/12", 3}, {" \t07", 7}, {"-2", -2}, {"+4", 4},
                                                       {"A1", 0},   {"", 0},      {"99999999999999", 2147483647}};
    for (const auto& [text, number] : numbers) EXPECT_EQ(ParseTrackNumber(text), number) << text;
}

TEST(TrackText, TimesAndBitrates) {
    const std::pair<int32_t, const char*> times[] = {{0, "00:00"},     {59, "00:59"},   {3599, "59:59"}, {5400, "90:00"},
                                                     {6000, "100:00"}, {-65, "01:05"},  // minutes unlimited, no sign
                                                     {-2147483647 - 1, "35791394:08"}};
    for (const auto& [seconds, text] : times) EXPECT_EQ(TimeText(seconds), text) << seconds;
    // Kilobits rounded down in steps of eight; none below one second.
    const struct { uint32_t bytes; int32_t seconds; const char* text; } rates[] = {
        {5000000, 312, "128"}, {16000, 1, "128"}, {15999, 1, "120"}, {0, 10, "0"}, {123456, 0, ""}, {123456, -1, ""}};
    for (const auto& r : rates) EXPECT_EQ(FileBitrateText(r.bytes, r.seconds), r.text) << r.bytes << "/" << r.seconds;
}

TEST(TrackText, FilesShowTagsOrTheirNameAndStreamsTheirNameAndBitrate) {
    TrackInfo file, stream;
    file.path = "C:\\Musik\\lied.mp3", file.lengthSeconds = 5400;
    TrackInfo titled = file;
    titled.title = "Titel", titled.lengthSeconds = 192;
    TrackInfo tagged = titled;
    tagged.artist = "K\xFCnstler";
    stream.path = "http://radio.example.org/live", stream.bitrateText = "128";
    TrackInfo named = stream;
    named.streamName = "Radio Eins";
    const struct { TrackAnnouncement got; const char *display, *title, *text; } cases[] = {  // null: not looked at
        {AnnounceFile(file, "1.0"), "lied.mp3 (90:00)", "Quendra 1.0", "lied.mp3 (90:00)"},
        {AnnounceFile(titled, "1.0"), " - Titel (03:12)", nullptr, nullptr},
        {AnnounceFile(tagged, "1.0"), "K\xFCnstler - Titel (03:12)", "K\xFCnstler", "Titel (03:12)"},
        {AnnounceStream(stream), "http://radio.example.org/live (128 kbps)", "http://radio.example.org/live (128 kbps)", ""},
        {AnnounceStream(named), "Radio Eins (128 kbps)", nullptr, "Radio Eins"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.got.displayText, c.display);
        if (c.title) EXPECT_EQ(c.got.balloonTitle, c.title) << c.display;
        if (c.text) EXPECT_EQ(c.got.balloonText, c.text) << c.display;
    }
}

TEST(Volume, StepsOfFiveStopAtTheEndsKeepARemainderAndMuteRestores) {
    const struct { int32_t volume, step, after; } cases[] = {{95, 1, 100}, {100, 1, 100}, {96, 1, 96}, {0, -1, 0},
                                                             {5, -1, 0},   {4, -1, 4},    {42, 0, 42}};
    for (const auto& c : cases) {
        int32_t volume = c.volume, saved = 7;
        StepVolume(c.step, volume, saved);
        EXPECT_EQ(std::make_pair(volume, saved), std::make_pair(c.after, 7)) << c.volume << " " << c.step;
    }
    int32_t volume = 97, saved = 0;
    for (int i = 0; i < 25; ++i) StepVolume(-1, volume, saved);
    EXPECT_EQ(volume, 2);
    for (int i = 0; i < 30; ++i) StepVolume(1, volume, saved);
    EXPECT_EQ(volume, 97);
    // Mute (step 2) remembers and restores; the wheel then starts from zero.
    volume = 60;
    for (int32_t after : {0, 60, 0}) {
        StepVolume(2, volume, saved);
        EXPECT_EQ(volume, after);
    }
    StepVolume(1, volume, saved);
    EXPECT_EQ(volume, 5);
    int32_t silent = 0, none = 0;  // mute at 0 right after the start stays silent
    for (int press = 0; press < 2; ++press) StepVolume(2, silent, none);
    EXPECT_EQ(silent, 0);
    EXPECT_FLOAT_EQ(ChannelVolume(0.5f, 80), 0.4f);  // scaled by the replay gain, not clipped
    EXPECT_FLOAT_EQ(ChannelVolume(1.0f, 0), 0.0f);
    EXPECT_FLOAT_EQ(ChannelVolume(2.0f, 75), 1.5f);
}
