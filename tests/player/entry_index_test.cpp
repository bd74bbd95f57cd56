#include "playlist/entry_index.h"

#include <gtest/gtest.h>

namespace {
Playlist List(std::initializer_list<const char*> paths) {
    Playlist list;
    for (const char* path : paths) {
        PlaylistEntry entry;
        entry.path = path;
        list.push_back(entry);
    }
    return list;
}
} // namespace

TEST(NextEntry, StepsToTheFollowingEntry) {
    const Playlist list = List({"A", "B", "C"});
    EXPECT_EQ(NextEntryIndex(list, "A", 0, 0), 1);
    EXPECT_EQ(NextEntryIndex(list, "b", 0, 0), 2);
}

TEST(NextEntry, PastTheLastItStopsUnlessRepeatOrForced) {
    const Playlist list = List({"A", "B", "C"});
    EXPECT_EQ(NextEntryIndex(list, "C", 0, 0), -1);
    EXPECT_EQ(NextEntryIndex(list, "C", 1, 0), 0);
    EXPECT_EQ(NextEntryIndex(list, "C", 0, 1), 0);
}

TEST(NextEntry, WithoutACurrentEntryItStartsAtTheFirst) {
    const Playlist list = List({"A", "B"});
    EXPECT_EQ(NextEntryIndex(list, "", 0, 0), 0);
    EXPECT_EQ(NextEntryIndex(list, "removed.mp3", 0, 0), 0);
}

TEST(NextEntry, ADuplicatePathCountsFromItsLaterPosition) {
    const Playlist list = List({"A", "B", "A", "C"});
    EXPECT_EQ(NextEntryIndex(list, "A", 0, 0), 3);
    const Playlist endsWithDuplicate = List({"A", "B", "A"});
    EXPECT_EQ(NextEntryIndex(endsWithDuplicate, "A", 0, 0), -1);
}

TEST(NextEntry, EmptyListGivesAnIndexWithNoEntry) {
    const Playlist empty;
    const int index = NextEntryIndex(empty, "", 0, 1);
    EXPECT_TRUE(index < 0 || index >= static_cast<int>(empty.size()));
}

TEST(PreviousEntry, StepsBackAndAlwaysWraps) {
    const Playlist list = List({"A", "B", "C"});
    EXPECT_EQ(PreviousEntryIndex(list, "C"), 1);
    EXPECT_EQ(PreviousEntryIndex(list, "A"), 2);
}

TEST(PreviousEntry, WithoutACurrentEntryItGoesToTheLast) {
    const Playlist list = List({"A", "B", "C"});
    EXPECT_EQ(PreviousEntryIndex(list, ""), 2);
    EXPECT_EQ(PreviousEntryIndex(list, "gone"), 2);
    EXPECT_EQ(PreviousEntryIndex(List({"A", "B", "A"}), "a"), 1);
}

TEST(PreviousEntry, EmptyListGivesNothing) {
    EXPECT_EQ(PreviousEntryIndex(Playlist{}, "A"), -1);
}
