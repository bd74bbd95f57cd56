#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/whole_file_win.h"

namespace {

std::string Read(const std::string& path) {
    std::string bytes;
    return ReadWholeFile(path, &bytes, 1 << 20) ? bytes : "<unreadable>";
}

} // namespace

// A save that fails at any step leaves the old file as it was, and no half-written copy.
TEST(WholeFile, AFailingWriteKeepsTheOldFile) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "quendra_whole_" + std::to_string(GetCurrentProcessId()) + ".ini";
    const std::string old = "HauptVolume = 40\r\n";
    ASSERT_TRUE(WriteWholeFile(path, old));
    ASSERT_EQ(Read(path), old);

    // The temporary copy cannot be made: a folder stands in its place.
    ASSERT_TRUE(CreateDirectoryA((path + ".new").c_str(), nullptr));
    EXPECT_FALSE(WriteWholeFile(path, "HauptVolume = 90\r\n"));
    EXPECT_EQ(Read(path), old);
    RemoveDirectoryA((path + ".new").c_str());

    // The copy is written but cannot replace the old file, which another program holds open.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteWholeFile(path, "HauptVolume = 90\r\n"));
    EXPECT_EQ(Read(path), old);
    EXPECT_EQ(GetFileAttributesA((path + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
    CloseHandle(held);

    EXPECT_TRUE(WriteWholeFile(path, "x"));
    EXPECT_EQ(Read(path), "x");
    DeleteFileA(path.c_str());
}
