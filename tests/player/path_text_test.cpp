#include "text/path_text.h"

#include <gtest/gtest.h>

TEST(PathText, LowerCasingCoversLatin1Capitals) {
    EXPECT_EQ(LowerLatin1("C:\\MUSIK\\\xC4RGER \xD6L.MP3"), "c:\\musik\\\xE4rger \xF6l.mp3");
    // 0xDF (sharp s) and 0xD7 (multiplication sign) sit in the range and move too; 0xDF has
    // no capital, 0xDE is the last capital.
    EXPECT_EQ(LowerLatin1("\xDE\xC0"), "\xFE\xE0");
    EXPECT_EQ(LowerLatin1("\xDF\xBF\xFF"), "\xDF\xBF\xFF");
    EXPECT_EQ(LowerLatin1("@[`{"), "@[`{");
}

TEST(PathText, EqualityIgnoresCaseButNotSlashes) {
    EXPECT_TRUE(PathsEqual("C:\\Musik\\Lied.mp3", "c:\\musik\\LIED.MP3"));
    EXPECT_TRUE(PathsEqual("\xC4.mp3", "\xE4.MP3"));
    EXPECT_FALSE(PathsEqual("C:\\Musik\\Lied.mp3", "C:/Musik/Lied.mp3"));
    EXPECT_FALSE(PathsEqual("C:\\a.mp3", "C:\\.\\a.mp3"));
    EXPECT_FALSE(PathsEqual("a.mp3", "a.mp3 "));
    EXPECT_TRUE(PathsEqual("", ""));
}

TEST(PathText, FileNameIsAfterTheLastSlashOfEitherKind) {
    EXPECT_EQ(FileNamePart("C:\\Musik\\Lied.mp3"), "Lied.mp3");
    EXPECT_EQ(FileNamePart("http://host/radio/stream.mp3"), "stream.mp3");
    EXPECT_EQ(FileNamePart("C:\\a/b\\c"), "c");
    EXPECT_EQ(FileNamePart("Lied.mp3"), "Lied.mp3");
    EXPECT_EQ(FileNamePart("http://host/"), "");
}

TEST(PathText, ExtensionNeedsADotInTheLastPart) {
    EXPECT_EQ(ExtensionOf("C:\\Musik\\Liste.PLS"), "PLS");
    EXPECT_EQ(ExtensionOf("a.tar.gz"), "gz");
    EXPECT_EQ(ExtensionOf("C:\\Musik.Alt\\Lied"), "");
    EXPECT_EQ(ExtensionOf("http://radio.example.org/"), "");
    EXPECT_EQ(ExtensionOf("http://radio.example.org/live"), "");
    EXPECT_EQ(ExtensionOf("Lied."), "");
    EXPECT_EQ(ExtensionOf("noextension"), "");
}
