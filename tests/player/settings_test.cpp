// Settings: the profile file as read and written, and which file-type keys to change.
#include <gtest/gtest.h>

#include "settings/file_associations.h"
#include "settings/settings_file.h"

TEST(SettingsFile, FindsValuesAndNumbersLikeTheWindowsProfileReader) {
    const std::string file =
        "\xEF\xBB\xBF; HauptVolume = 1\r\nhauptvolume\t=\t85\r\n  WiederholenEnable=1\nBALLOONTIPENABLE =0\r\n"
        "HauptVolume = 20\r\nWindowX\r\nPlayListMarkieren = D:\\a=b\\M\xC3\xBCsik.mp3\r\n[Andere]\r\nFensterOnTop = 0\r\n";
    const SettingsText text = ParseSettingsBytes(file);
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"HauptVolume", "85"},         // any case and spacing; the first of two lines wins
        {"WiederholenEnable", "1"},
        {"BalloonTipEnable", "0"},
        {"WindowX", ""},               // a key without an equals sign
        {"PlayListMarkieren", "D:\\a=b\\M\xFCsik.mp3"}, // from the first "=", UTF-8 after a mark
        {"FensterOnTop", std::nullopt}, // below another section
        {"SongPositonVorweartsEnable", std::nullopt},
    };
    for (const auto& [key, value] : cases) EXPECT_EQ(FindSettingValue(text, key), value) << key;
    // Without the byte order mark the same bytes are taken as they are.
    EXPECT_EQ(FindSettingValue(ParseSettingsBytes("P = M\xC3\xBC"), "P"), "M\xC3\xBC");
    // Numbers read like atoi.
    const std::pair<const char*, int32_t> numbers[] = {{"85", 85}, {"-412", -412}, {"+3x", 3}, {"abc", 0}, {"", 0},
                                                       {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1}};
    for (const auto& [number, value] : numbers) EXPECT_EQ(SettingNumber(number), value) << number;
}

TEST(SettingsFile, WrittenFileHasTwelveLinesInOrderAndReadsBack) {
    Settings s;
    s.ReplayGainEnable = s.FensterOnTop = s.BalloonTipEnable = s.MiniFensterEnable = s.SongPositonVorweartsEnable = 1;
    s.HauptVolume = 85;
    const std::string written = SettingsFileText(s, 412, -300, "D:\\a b=c.mp3");
    EXPECT_EQ(written, "WindowX = 412\r\nWindowY = -300\r\nWiederholenEnable = 0\r\nReplayGainEnable = 1\r\n"
                       "FensterOnTop = 1\r\nHauptVolume = 85\r\nBalloonTipEnable = 1\r\n"
                       "PlayListMarkieren = D:\\a b=c.mp3\r\nHohePrioEnable = 0\r\nMiniFensterEnable = 1\r\n"
                       "MiniFensterScrollTextEnable = 0\r\nSongPositonVorweartsEnable = 1\r\n");
    const SettingsText text = ParseSettingsBytes(written);
    EXPECT_EQ(FindSettingValue(text, "PlayListMarkieren"), "D:\\a b=c.mp3");
    EXPECT_EQ(SettingNumber(*FindSettingValue(text, "WindowY")), -300);
}

TEST(FileAssociations, ChangeDependsOnTickAndWhoOwnsTheKeyAndTheExecutableIsQuoted) {
    const struct { bool ticked; const char* current; AssociationChange expected; } cases[] = {
        {true, "", AssociationChange::WriteOurs},
        {true, "Quendra", AssociationChange::WriteOurs}, // rewritten even when already ours
        {true, "OtherPlayer.File", AssociationChange::WriteOurs},
        {false, "Quendra", AssociationChange::Clear},
        {false, "quendra", AssociationChange::Keep}, // case differs: not ours
        {false, "OtherPlayer.File", AssociationChange::Keep},
        {false, "", AssociationChange::Keep},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChangeForType(c.ticked, c.current), c.expected) << c.ticked << " " << c.current;
    // The icon and the command quote the executable.
    const std::string exe = "C:\\Program Files\\Q\\quendra.exe";
    EXPECT_EQ(AssociationIconText(exe), "\"C:\\Program Files\\Q\\quendra.exe\",0");
    EXPECT_EQ(AssociationCommandText(exe), "\"C:\\Program Files\\Q\\quendra.exe\" \"%1\"");
}
