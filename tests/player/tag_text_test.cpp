#include "playback/tag_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {
std::string Tag(const std::string& bytes) {
    return TagText(bytes.data(), static_cast<unsigned>(bytes.size()));
}
} // namespace

TEST(TagText, Utf8OfLatin1CharactersIsDecoded) {
    EXPECT_EQ(Tag("M\xC3\xB6we"), "M\xF6we");
    EXPECT_EQ(Tag("\xC3\x84rger \xC3\x9F"), "\xC4rger \xDF");
    EXPECT_EQ(Tag("plain"), "plain");
}

TEST(TagText, Latin1BytesStayAsTheyAre) {
    EXPECT_EQ(Tag("M\xF6we"), "M\xF6we");
    EXPECT_EQ(Tag("\xE4\xF6\xFC"), "\xE4\xF6\xFC");
}

TEST(TagText, CharactersBeyondLatin1KeepTheRawBytes) {
    const std::string euro = "5 \xE2\x82\xAC";
    EXPECT_EQ(Tag(euro), euro);
    const std::string mixed = "\xC3\xB6 \xE2\x82\xAC";
    EXPECT_EQ(Tag(mixed), mixed);
}

TEST(TagText, OverlongAndTruncatedFormsKeepTheRawBytes) {
    EXPECT_EQ(Tag("\xC1\x81"), "\xC1\x81");     // overlong "A"
    EXPECT_EQ(Tag("ab\xC3"), "ab\xC3");         // cut in the middle of a character
    EXPECT_EQ(Tag("\x80\x80"), "\x80\x80");     // continuation bytes alone
}

TEST(TagText, StopsAtLengthOrFirstZero) {
    const std::string bytes("Titel\0Rest", 10);
    EXPECT_EQ(TagText(bytes.data(), 10), "Titel");
    EXPECT_EQ(TagText("Titel", 3), "Tit");
    EXPECT_EQ(TagText("x", 0), "");
    EXPECT_EQ(TagText(nullptr, 5), "");
}

TEST(ReplayGain, DecibelsBecomeALinearFactor) {
    EXPECT_NEAR(ReplayGainFactor("-6.00 dB"), 0.501f, 0.001f);
    EXPECT_NEAR(ReplayGainFactor("-6.54 dB"), std::pow(10.0f, -6.54f / 20.0f), 1e-6f);
    EXPECT_GT(ReplayGainFactor("+3.2 dB"), 1.0f);
    EXPECT_FLOAT_EQ(ReplayGainFactor("0 dB"), 1.0f);
}

TEST(ReplayGain, TextWithoutANumberGivesUnity) {
    EXPECT_FLOAT_EQ(ReplayGainFactor(""), 1.0f);
    EXPECT_FLOAT_EQ(ReplayGainFactor("dB"), 1.0f);
    EXPECT_FLOAT_EQ(ReplayGainFactor("-"), 1.0f);
    EXPECT_FLOAT_EQ(ReplayGainFactor("nan"), 1.0f);
    EXPECT_FLOAT_EQ(ReplayGainFactor("inf dB"), 1.0f);
}

TEST(ReplayGain, ParsingStopsAtTheFirstCharacterThatDoesNotFit) {
    EXPECT_NEAR(ReplayGainFactor("-6.5.4"), std::pow(10.0f, -6.5f / 20.0f), 1e-6f);
    EXPECT_NEAR(ReplayGainFactor("-6dB"), std::pow(10.0f, -6.0f / 20.0f), 1e-6f);
    EXPECT_NEAR(ReplayGainFactor(".5"), std::pow(10.0f, 0.5f / 20.0f), 1e-6f);
}

TEST(TrackNumber, LeadingDigitsAfterBlanksAndSign) {
    EXPECT_EQ(ParseTrackNumber("3/12"), 3);
    EXPECT_EQ(ParseTrackNumber(" \t07"), 7);
    EXPECT_EQ(ParseTrackNumber("-2"), -2);
    EXPECT_EQ(ParseTrackNumber("+4"), 4);
    EXPECT_EQ(ParseTrackNumber("A1"), 0);
    EXPECT_EQ(ParseTrackNumber(""), 0);
    EXPECT_EQ(ParseTrackNumber("99999999999999"), 2147483647);
}
