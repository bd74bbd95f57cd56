#include "playlist/playlist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {
PlaylistEntry Entry(const std::string& path) {
    PlaylistEntry entry;
    entry.path = path;
    entry.durationText = "00:00";
    return entry;
}
} // namespace

TEST(Playlist, CurrentEntryIsTheLastWithThePath) {
    const Playlist list = {Entry("a.mp3"), Entry("B.mp3"), Entry("c.mp3"), Entry("b.MP3")};
    EXPECT_EQ(LastIndexOfPath(list, "b.mp3"), 3);
    EXPECT_EQ(LastIndexOfPath(list, "A.MP3"), 0);
    EXPECT_EQ(LastIndexOfPath(list, "d.mp3"), -1);
    EXPECT_EQ(LastIndexOfPath(list, ""), -1);
    EXPECT_EQ(LastIndexOfPath({}, "a.mp3"), -1);
}

TEST(PlaylistRow, LocalFileShowsTagsOrFileName) {
    PlaylistEntry entry = Entry("C:\\Musik\\Lied.mp3");
    entry.durationText = "03:12";
    EXPECT_EQ(RowTextOf(entry).title, "Lied.mp3");
    EXPECT_EQ(RowTextOf(entry).time, "03:12");
    entry.title = "Titel";
    EXPECT_EQ(RowTextOf(entry).title, " - Titel");
    entry.artist = "K\xFCnstler";
    EXPECT_EQ(RowTextOf(entry).title, "K\xFCnstler - Titel");
}

TEST(PlaylistRow, StreamShowsNameAndBareBitrate) {
    PlaylistEntry entry = Entry("http://radio.example.org:8000/live");
    entry.tagType = 4;
    entry.bitrateText = "128";
    EXPECT_EQ(RowTextOf(entry).title, "http://radio.example.org:8000/live");
    EXPECT_EQ(RowTextOf(entry).time, "128");
    entry.streamName = "Radio Eins";
    entry.artist = "ignored";
    EXPECT_EQ(RowTextOf(entry).title, "Radio Eins");
}

TEST(PlaylistRow, LocalPathWithASlashIsShownLikeAStream) {
    PlaylistEntry entry = Entry("C:/Musik/Lied.mp3");
    entry.artist = "A";
    entry.title = "T";
    entry.durationText = "01:00";
    EXPECT_EQ(RowTextOf(entry).title, "C:/Musik/Lied.mp3");
    EXPECT_EQ(RowTextOf(entry).time, "");
}

TEST(Playlist, RemovingRowsOneAndThreeKeepsTheRestInOrder) {
    Playlist list = {Entry("0"), Entry("1"), Entry("2"), Entry("3"), Entry("4")};
    RemoveEntries(list, {false, true, false, true, false});
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].path, "0");
    EXPECT_EQ(list[1].path, "2");
    EXPECT_EQ(list[2].path, "4");
    for (const PlaylistEntry& entry : list) EXPECT_EQ(entry.mark, 0);
}

TEST(Playlist, RemovingWithAShortSelectionTouchesOnlyTheRowsItCovers) {
    Playlist list = {Entry("0"), Entry("1"), Entry("2")};
    RemoveEntries(list, {true});
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path, "1");
    RemoveEntries(list, {});
    EXPECT_EQ(list.size(), 2u);
}

TEST(Playlist, ShuffleKeepsEveryEntryOnceAndClearsTheKeys) {
    Playlist list;
    for (int i = 0; i < 50; ++i) list.push_back(Entry(std::to_string(i)));
    std::mt19937 random(12345);
    ShuffleWithRandomKeys(list, random);
    ASSERT_EQ(list.size(), 50u);
    std::vector<int> seen;
    for (const PlaylistEntry& entry : list) {
        seen.push_back(std::stoi(entry.path));
        EXPECT_EQ(entry.mark, 0);
    }
    std::sort(seen.begin(), seen.end());
    for (int i = 0; i < 50; ++i) EXPECT_EQ(seen[i], i);
}

TEST(Playlist, ShuffleOfOneEntryLeavesIt) {
    Playlist list = {Entry("only")};
    std::mt19937 random(1);
    ShuffleWithRandomKeys(list, random);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].path, "only");
}

TEST(Playlist, ShuffleIsRoughlyUniform) {
    // Each of the 6 orders of three entries should come up about 1/6 of the time.
    std::mt19937 random(99);
    std::map<std::string, int> orders;
    const int rounds = 6000;
    for (int round = 0; round < rounds; ++round) {
        Playlist list = {Entry("a"), Entry("b"), Entry("c")};
        ShuffleWithRandomKeys(list, random);
        orders[list[0].path + list[1].path + list[2].path]++;
    }
    ASSERT_EQ(orders.size(), 6u);
    for (const auto& [order, count] : orders) {
        EXPECT_GT(count, 850) << order;
        EXPECT_LT(count, 1150) << order;
    }
}
