#include "playlist/open_files.h"

#include <gtest/gtest.h>

TEST(OpenFiles, DialogExtensionFollowsTheLastDotAndEndsAtAQuote) {
    const struct {
        const char* name;
        const char* extension;
    } cases[] = {
        {"C:\\m\\a.mp3", "mp3"},
        {"C:\\m.d\\a", ""},
        {"C:/m.d/a", ""},
        {"a.tar.M3U", "M3U"},
        {"\"C:\\m\\b.pls\" \"x", "pls"},
        {"noext", ""},
        {"C:\\m\\a.", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DialogExtension(c.name), c.extension) << c.name;
}

TEST(OpenFiles, SelectedPathsFromSingleAndMultipleBuffers) {
    const char single[] = "C:\\m\\a.wav\0\0";
    EXPECT_EQ(SelectedPaths(single, sizeof single), (std::vector<std::string>{"C:\\m\\a.wav"}));
    const char several[] = "C:\\m\0b.wav\0a.m3u\0\0garbage";
    EXPECT_EQ(SelectedPaths(several, sizeof several), (std::vector<std::string>{"C:\\m\\b.wav", "C:\\m\\a.m3u"}));
    const char root[] = "C:\\\0a.wav\0b.wav\0\0";
    EXPECT_EQ(SelectedPaths(root, sizeof root), (std::vector<std::string>{"C:\\a.wav", "C:\\b.wav"}));
    const char cancelled[] = "\0\0";
    EXPECT_TRUE(SelectedPaths(cancelled, sizeof cancelled).empty());
    const char unterminated[3] = {'a', '\0', 'b'};
    EXPECT_EQ(SelectedPaths(unterminated, 3), (std::vector<std::string>{"a\\b"}));
}

TEST(OpenFiles, NamesAreTakenUpToAndIncludingTheFirstPlaylist) {
    const struct {
        std::vector<std::string> selected;
        std::vector<std::string> names;
        bool playlist;
    } cases[] = {
        {{"a.wav", "b.mp3"}, {"a.wav", "b.mp3"}, false},
        {{"a.wav", "L.M3U", "b.mp3", "c.pls"}, {"a.wav", "L.M3U"}, true},
        {{"x.Pls", "a.wav"}, {"x.Pls"}, true},
        {{"a.asx"}, {"a.asx"}, true},
        {{"a.wax", "b.tmp"}, {"a.wax"}, true},
        {{"a.m3u8", "b.wav"}, {"a.m3u8", "b.wav"}, false},
        {{"a.wav", "", "b.wav"}, {"a.wav"}, false},
        {{}, {}, false},
    };
    for (const auto& c : cases) {
        const OpenSelection selection = NamesToOpen(c.selected);
        EXPECT_EQ(selection.names, c.names);
        EXPECT_EQ(selection.playlist, c.playlist);
    }
}
