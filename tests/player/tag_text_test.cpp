#include "playback/tag_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

TEST(TagText, Utf8OfLatin1IsDecodedAnythingElseKeepsItsBytes) {
    const std::string cases[][2] = {
        {"M\xC3\xB6we", "M\xF6we"}, {"\xC3\x84rger \xC3\x9F", "\xC4rger \xDF"}, {"plain", "plain"},
        {"M\xF6we", "M\xF6we"},                       // Latin-1 already
        {"5 \xE2\x82\xAC", "5 \xE2\x82\xAC"},         // beyond Latin-1
        {"\xC3\xB6 \xE2\x82\xAC", "\xC3\xB6 \xE2\x82\xAC"},
        {"\xC1\x81", "\xC1\x81"}, {"ab\xC3", "ab\xC3"}, {"\x80\x80", "\x80\x80"}, // overlong, cut, stray
        {"\xED\xA0\x80", "\xED\xA0\x80"},                                             // a surrogate
    };
    for (const auto& c : cases) EXPECT_EQ(TagText(c[0].data(), static_cast<unsigned>(c[0].size())), c[1]) << c[0];
}

// A code page's encoder decides: the euro sign has a place in this one, the alpha not.
TEST(TagText, EveryCharacterGoesToTheEncoderOrTheBytesStay) {
    const NarrowEncoder euroPage = [](const std::u32string& characters, std::string* narrow) {
        narrow->clear();
        for (char32_t c : characters) {
            if (c == 0x20AC) narrow->push_back('\x80');
            else if (c < 0x80) narrow->push_back(static_cast<char>(c));
            else return false;
        }
        return true;
    };
    EXPECT_EQ(TagText("5 \xE2\x82\xAC", 5, euroPage), "5 \x80");
    EXPECT_EQ(TagText("\xE2\x82\xAC \xCE\xB1", 6, euroPage), "\xE2\x82\xAC \xCE\xB1");
}

TEST(TagText, StopsAtLengthOrFirstZero) {
    EXPECT_EQ(TagText(std::string("Titel\0Rest", 10).data(), 10), "Titel");
    EXPECT_EQ(TagText("Titel", 3), "Tit");
    EXPECT_EQ(TagText(nullptr, 5), "");
}

TEST(ReplayGain, DecibelsBecomeALinearFactorUpToTheFirstMisfit) {
    const std::pair<const char*, float> cases[] = {
        {"-6.00 dB", -6.0f}, {"+3.2 dB", 3.2f}, {"0 dB", 0.0f},  {"-6.5.4", -6.5f}, {"-6dB", -6.0f},
        {".5", 0.5f},        {"", 0.0f},        {"dB", 0.0f},    {"-", 0.0f},       {"nan", 0.0f}, {"inf dB", 0.0f},
        {"+999", 0.0f},      {"-61 dB", 0.0f},  {"+60", 60.0f},
    };
    for (const auto& [text, decibels] : cases)
        EXPECT_NEAR(ReplayGainFactor(text), std::pow(10.0f, decibels / 20.0f), 1e-6f) << text;
}

TEST(TrackNumber, LeadingDigitsAfterBlanksAndSign) {
    const std::pair<const char*, int32_t> cases[] = {{"3/12", 3}, {" \t07", 7}, {"-2", -2}, {"+4", 4},
                                                     {"A1", 0},   {"", 0},      {"99999999999999", 2147483647}};
    for (const auto& [text, number] : cases) EXPECT_EQ(ParseTrackNumber(text), number) << text;
}
