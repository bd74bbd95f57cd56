#include "playlist/entry_index.h"

#include <gtest/gtest.h>

namespace {
Playlist List(std::initializer_list<const char*> paths) {
    Playlist list;
    for (const char* path : paths) {
        list.emplace_back();
        list.back().path = path;
    }
    return list;
}
} // namespace

TEST(NextEntry, Table) {
    const Playlist abc = List({"A", "B", "C"});
    const Playlist duplicate = List({"A", "B", "A", "C"});
    struct Case { const Playlist* list; const char* current; int repeat, force, expected; };
    const Case cases[] = {
        {&abc, "A", 0, 0, 1},  {&abc, "b", 0, 0, 2},           // paths compare without case
        {&abc, "C", 0, 0, -1}, {&abc, "C", 1, 0, 0}, {&abc, "C", 0, 1, 0}, // past the end
        {&abc, "", 0, 0, 0},   {&abc, "removed.mp3", 0, 0, 0}, // no current entry: the first
        {&duplicate, "A", 0, 0, 3},                            // the later of two counts
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextEntryIndex(*c.list, c.current, c.repeat, c.force), c.expected) << c.current << c.repeat << c.force;
}

TEST(PreviousEntry, StepsBackAndAlwaysWraps) {
    const Playlist list = List({"A", "B", "C"});
    EXPECT_EQ(PreviousEntryIndex(list, "C"), 1);
    EXPECT_EQ(PreviousEntryIndex(list, "A"), 2);
    EXPECT_EQ(PreviousEntryIndex(list, "gone"), 2);
    EXPECT_EQ(PreviousEntryIndex(List({"A", "B", "A"}), "a"), 1);
    EXPECT_EQ(PreviousEntryIndex(Playlist{}, "A"), -1);
}
