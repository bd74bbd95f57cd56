#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "playlist/add_to_playlist_win.h"

// A list that names itself under another spelling must be recognised as the same file.
TEST(PlaylistKey, EverySpellingOfOneFileGivesOneKey) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "quendra key folder " + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string path = folder + "\\Eine lange Liste.pls";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    char shortPath[MAX_PATH + 1] = {};
    ASSERT_GT(GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath), 0u);
    char previous[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));

    const std::string key = CanonicalPathKey(path);
    for (const std::string& spelling : {std::string("Eine lange Liste.pls"), std::string(".\\EINE LANGE LISTE.PLS"),
                                        folder + "\\.\\sub\\..\\eine lange liste.pls", std::string(shortPath)})
        EXPECT_EQ(CanonicalPathKey(spelling), key) << spelling;
    EXPECT_NE(CanonicalPathKey("Andere Liste.pls"), key);
    EXPECT_EQ(CanonicalPathKey("HTTP://Radio/Liste.PLS"), "http://radio/liste.pls");

    SetCurrentDirectoryA(previous);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}
