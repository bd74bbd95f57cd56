#include "text/path_text.h"

#include <gtest/gtest.h>

TEST(PathText, LowerCasingCoversLatin1CapitalsAndEqualityIgnoresCaseButNotSlashesOrBlanks) {
    EXPECT_EQ(LowerLatin1("C:\\MUSIK\\\xC4RGER \xD6L.MP3"), "c:\\musik\\\xE4rger \xF6l.mp3");
    // 0xDE is the last capital; 0xDF has none; the ASCII neighbours of A-Z stay.
    EXPECT_EQ(LowerLatin1("\xDE\xC0\xDF\xBF\xFF@[`{"), "\xFE\xE0\xDF\xBF\xFF@[`{");
    EXPECT_TRUE(PathsEqual("C:\\Musik\\Lied.mp3", "c:\\musik\\LIED.MP3") && PathsEqual("\xC4.mp3", "\xE4.MP3"));
    for (const auto& [a, b] : {std::pair{"C:\\Musik\\Lied.mp3", "C:/Musik/Lied.mp3"}, {"C:\\a.mp3", "C:\\.\\a.mp3"}, {"a.mp3", "a.mp3 "}})
        EXPECT_FALSE(PathsEqual(a, b)) << a << " " << b;
}

TEST(PathText, FileNameAndExtensionComeFromTheLastPart) {
    const char* names[][3] = {
        {"C:\\Musik\\Lied.mp3", "Lied.mp3", "mp3"},        {"http://host/radio/stream.mp3", "stream.mp3", "mp3"},
        {"C:\\a/b\\c", "c", ""},                             {"http://host/", "", ""},
        {"C:\\Musik.Alt\\Lied", "Lied", ""},                 {"a.tar.GZ", "a.tar.GZ", "GZ"},
        {"http://radio.example.org/live", "live", ""},      {"Lied.", "Lied.", ""},
    };
    for (const auto& n : names) EXPECT_EQ(std::make_pair(FileNamePart(n[0]), ExtensionOf(n[0])), std::make_pair(std::string(n[1]), std::string(n[2])));
}

TEST(PathText, AModulePathCutShortHasNoFolder) {
    const std::string full = "C:\\Programme\\Quendra\\quendra.exe";
    const unsigned long length = static_cast<unsigned long>(full.size());
    EXPECT_EQ(ModuleFolder(full.c_str(), length, 260), "C:\\Programme\\Quendra\\");
    EXPECT_EQ(ModuleFolder(full.c_str(), length, length + 1), "C:\\Programme\\Quendra\\"); // just fits
    EXPECT_EQ(ModuleFolder(full.c_str(), length, length), "");                           // cut short
    EXPECT_EQ(ModuleFolder(full.c_str(), 0, 260), "");
    EXPECT_EQ(ModuleFolder("quendra.exe", 11, 260), "");
}
