#include "playlist/playlist.h"

#include <gtest/gtest.h>

#include <map>

namespace {
PlaylistEntry Entry(const std::string& path, const std::string& artist = "", const std::string& title = "") {
    PlaylistEntry entry;
    entry.path = path;
    entry.artist = artist;
    entry.title = title;
    entry.durationText = "03:12";
    return entry;
}
std::string Paths(const Playlist& list) {
    std::string paths;
    for (const PlaylistEntry& entry : list) paths += entry.path;
    return paths;
}
} // namespace

TEST(Playlist, CurrentEntryIsTheLastWithThePath) {
    const Playlist list = {Entry("a.mp3"), Entry("B.mp3"), Entry("c.mp3"), Entry("b.MP3")};
    EXPECT_EQ(LastIndexOfPath(list, "b.mp3"), 3);
    EXPECT_EQ(LastIndexOfPath(list, "A.MP3"), 0);
    EXPECT_EQ(LastIndexOfPath(list, "d.mp3"), -1);
    EXPECT_EQ(LastIndexOfPath(list, ""), -1);
}

TEST(PlaylistRow, Table) {
    PlaylistEntry stream = Entry("http://radio.example.org:8000/live", "ignored");
    stream.tagType = 4;
    stream.bitrateText = "128";
    PlaylistEntry namedStream = stream;
    namedStream.streamName = "Radio Eins";
    struct Case { PlaylistEntry entry; const char* title; const char* time; };
    const Case cases[] = {
        {Entry("C:\\Musik\\Lied.mp3"), "Lied.mp3", "03:12"},
        {Entry("C:\\Musik\\Lied.mp3", "", "Titel"), " - Titel", "03:12"},
        {Entry("C:\\Musik\\Lied.mp3", "K\xFCnstler", "Titel"), "K\xFCnstler - Titel", "03:12"},
        {stream, "http://radio.example.org:8000/live", "128"},
        {namedStream, "Radio Eins", "128"},
        {Entry("C:/Musik/Lied.mp3", "A", "T"), "C:/Musik/Lied.mp3", ""}, // a slash reads as a stream
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RowTextOf(c.entry).title, c.title) << c.entry.path;
        EXPECT_EQ(RowTextOf(c.entry).time, c.time) << c.entry.path;
    }
}

TEST(Playlist, RemovingKeepsTheRestInOrder) {
    Playlist list = {Entry("0"), Entry("1"), Entry("2"), Entry("3"), Entry("4")};
    RemoveEntries(list, {false, true, false, true, false});
    EXPECT_EQ(Paths(list), "024");
    for (const PlaylistEntry& entry : list) EXPECT_EQ(entry.mark, 0);
    RemoveEntries(list, {true}); // a short selection touches only the rows it covers
    EXPECT_EQ(Paths(list), "24");
}

TEST(Playlist, ShuffleIsAUniformPermutationAndClearsTheKeys) {
    // Each of the 6 orders of three entries should come up about 1/6 of the time.
    std::mt19937 random(99);
    std::map<std::string, int> orders;
    for (int round = 0; round < 6000; ++round) {
        Playlist list = {Entry("a"), Entry("b"), Entry("c")};
        ShuffleWithRandomKeys(list, random);
        for (const PlaylistEntry& entry : list) ASSERT_EQ(entry.mark, 0);
        orders[Paths(list)]++;
    }
    ASSERT_EQ(orders.size(), 6u);
    for (const auto& [order, count] : orders) {
        EXPECT_GT(count, 850) << order;
        EXPECT_LT(count, 1150) << order;
    }
}
