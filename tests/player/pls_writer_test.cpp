#include "playlist/pls_writer.h"

#include <gtest/gtest.h>

TEST(PlsWriter, EmptyPlaylistGivesThreeLines) {
    EXPECT_EQ(PlsText({}), "[playlist]\r\nNumberOfEntries=0\r\nVersion=2\r\n");
}

TEST(PlsWriter, PathsAreWrittenUnchangedAndNumberedFromOne) {
    Playlist list(3);
    list[0].path = "C:\\Musik\\a b=c.mp3";
    list[1].path = "http://radio.example.org:8000/live";
    list[2].path = "M\xFCsik.ogg";
    list[1].title = "not written";
    EXPECT_EQ(PlsText(list), "[playlist]\r\nFile1=C:\\Musik\\a b=c.mp3\r\n"
                             "File2=http://radio.example.org:8000/live\r\nFile3=M\xFCsik.ogg\r\n"
                             "NumberOfEntries=3\r\nVersion=2\r\n");
}

TEST(PlsWriter, FolderPartEndsWithTheLastSeparator) {
    EXPECT_EQ(FolderPart("C:\\Listen\\Playlist.pls"), "C:\\Listen\\");
    EXPECT_EQ(FolderPart("D:/a/b.pls"), "D:/a/");
    EXPECT_EQ(FolderPart("Playlist.pls"), "");
}
