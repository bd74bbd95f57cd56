#include "settings/settings_file.h"

#include <gtest/gtest.h>

namespace {
std::optional<std::string> Find(const std::string& file, const std::string& key) {
    return FindSettingValue(ParseSettingsBytes(file), key);
}
} // namespace

TEST(SettingsFile, KeysInAnyOrderCaseAndSpacing) {
    const std::string file = "hauptvolume\t=\t85\r\n  WiederholenEnable=1\nBALLOONTIPENABLE =0\r\n";
    EXPECT_EQ(Find(file, "HauptVolume"), "85");
    EXPECT_EQ(Find(file, "WiederholenEnable"), "1");
    EXPECT_EQ(Find(file, "BalloonTipEnable"), "0");
    EXPECT_EQ(Find(file, "FensterOnTop"), std::nullopt);
}

TEST(SettingsFile, FirstMatchingLineWins) {
    EXPECT_EQ(Find("HauptVolume = 10\r\nHauptVolume = 20\r\n", "HauptVolume"), "10");
}

TEST(SettingsFile, KeysBelowASectionHeaderAreNotFound) {
    const std::string file = "HauptVolume = 40\r\n[Andere]\r\nFensterOnTop = 0\r\n";
    EXPECT_EQ(Find(file, "HauptVolume"), "40");
    EXPECT_EQ(Find(file, "FensterOnTop"), std::nullopt);
}

TEST(SettingsFile, CommentsAndLinesWithoutEqualsSign) {
    const std::string file = "; HauptVolume = 1\r\nWindowX\r\nHauptVolume = 2\r\n";
    EXPECT_EQ(Find(file, "HauptVolume"), "2");
    EXPECT_EQ(Find(file, "WindowX"), "");
}

TEST(SettingsFile, ValueRunsFromTheFirstEqualsSignToTheLineEnd) {
    EXPECT_EQ(Find("PlayListMarkieren = D:\\a=b\\Lied.mp3\r\n", "PlayListMarkieren"), "D:\\a=b\\Lied.mp3");
    EXPECT_EQ(Find("PlayListMarkieren = \r\n", "PlayListMarkieren"), "");
}

TEST(SettingsFile, Utf8FileWithByteOrderMarkGivesLatin1Values) {
    const std::string file = "\xEF\xBB\xBFPlayListMarkieren = D:\\M\xC3\xBCsik.mp3\r\nHauptVolume = 7\r\n";
    EXPECT_EQ(Find(file, "PlayListMarkieren"), "D:\\M\xFCsik.mp3");
    EXPECT_EQ(Find(file, "HauptVolume"), "7");
    // Without the mark the same bytes are taken as they are.
    EXPECT_EQ(Find("PlayListMarkieren = M\xC3\xBC", "PlayListMarkieren"), "M\xC3\xBC");
}

TEST(SettingsNumber, ReadLikeAtoi) {
    EXPECT_EQ(SettingNumber("85"), 85);
    EXPECT_EQ(SettingNumber("-412"), -412);
    EXPECT_EQ(SettingNumber("+3x"), 3);
    EXPECT_EQ(SettingNumber("abc"), 0);
    EXPECT_EQ(SettingNumber(""), 0);
    EXPECT_EQ(SettingNumber("99999999999"), 2147483647);
    EXPECT_EQ(SettingNumber("-99999999999"), -2147483647 - 1);
}

TEST(SettingsFile, WrittenFileHasTwelveLinesInOrder) {
    Settings s;
    s.WiederholenEnable = 0;
    s.ReplayGainEnable = 1;
    s.FensterOnTop = 1;
    s.HauptVolume = 85;
    s.BalloonTipEnable = 1;
    s.HohePrioEnable = 0;
    s.MiniFensterEnable = 1;
    s.MiniFensterScrollTextEnable = 1;
    s.SongPositonVorweartsEnable = 0;
    EXPECT_EQ(SettingsFileText(s, 412, -300, "D:\\Musik\\Lied.mp3"),
              "WindowX = 412\r\nWindowY = -300\r\nWiederholenEnable = 0\r\nReplayGainEnable = 1\r\n"
              "FensterOnTop = 1\r\nHauptVolume = 85\r\nBalloonTipEnable = 1\r\n"
              "PlayListMarkieren = D:\\Musik\\Lied.mp3\r\nHohePrioEnable = 0\r\nMiniFensterEnable = 1\r\n"
              "MiniFensterScrollTextEnable = 1\r\nSongPositonVorweartsEnable = 0\r\n");
}

TEST(SettingsFile, WrittenFileReadsBack) {
    Settings s;
    s.HauptVolume = 35;
    s.SongPositonVorweartsEnable = 1;
    const SettingsText text = ParseSettingsBytes(SettingsFileText(s, 5, 6, "C:\\a b=c.mp3"));
    EXPECT_EQ(SettingNumber(*FindSettingValue(text, "HauptVolume")), 35);
    EXPECT_EQ(SettingNumber(*FindSettingValue(text, "SongPositonVorweartsEnable")), 1);
    EXPECT_EQ(*FindSettingValue(text, "PlayListMarkieren"), "C:\\a b=c.mp3");
    EXPECT_EQ(SettingNumber(*FindSettingValue(text, "WindowY")), 6);
}
