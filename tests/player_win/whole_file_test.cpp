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

// A save that fails at any step leaves the old file as it was, and no half-written copy;
// one that succeeds keeps the old file's attributes.
TEST(WholeFile, AFailingWriteKeepsTheOldFile) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "quendra_whole_" + std::to_string(GetCurrentProcessId()) + ".ini";
    const std::string old = "HauptVolume = 40\r\n";
    ASSERT_TRUE(WriteWholeFile(path, old));
    ASSERT_EQ(Read(path), old);

    // No new file can be made beside it (a folder stands in the copy's place): written in place.
    ASSERT_TRUE(CreateDirectoryA((path + ".new").c_str(), nullptr));
    EXPECT_TRUE(WriteWholeFile(path, "HauptVolume = 90\r\n"));
    EXPECT_EQ(Read(path), "HauptVolume = 90\r\n");
    RemoveDirectoryA((path + ".new").c_str());
    ASSERT_TRUE(WriteWholeFile(path, old));

    // The old file's attributes stay; a read-only file is not written at all.
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(WriteWholeFile(path, "x"));
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WriteWholeFile(path, "y"));
    EXPECT_EQ(Read(path), "x");
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(WriteWholeFile(path, old));

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
