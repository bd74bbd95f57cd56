#include <gtest/gtest.h>

#include <filesystem>

#include "audio_builders.h"
#include "io/file_reader.h"
#include "io/memory_reader.h"

using namespace engine;
using namespace enginetest;

TEST(MemoryReader, ReadsSeeksAndStopsAtTheEnd) {
    const uint8_t data[] = {1, 2, 3, 4, 5};
    MemoryReader r(data, sizeof data);
    uint8_t buf[8] = {};
    EXPECT_EQ(r.Read(buf, 2), 2);
    EXPECT_EQ(buf[1], 2);
    EXPECT_EQ(r.Tell(), 2u);
    EXPECT_EQ(r.Read(buf, 8), 3);
    EXPECT_EQ(r.Read(buf, 8), 0);
    EXPECT_TRUE(r.Seek(5));
    EXPECT_FALSE(r.Seek(6));
    EXPECT_EQ(r.Tell(), 5u);
    EXPECT_TRUE(r.Seek(1));
    EXPECT_FALSE(ReadExact(r, buf, 5));  // only 4 left
}

TEST(MemoryReader, SkipAndBytesLeftFollowThePosition) {
    std::vector<uint8_t> owned(100, 7);
    MemoryReader r(std::move(owned));
    EXPECT_TRUE(SkipBytes(r, 40));
    EXPECT_EQ(BytesLeft(r), 60);
    EXPECT_FALSE(SkipBytes(r, 61));
    MemoryReader empty(nullptr, 10);  // a null range reads as empty
    EXPECT_EQ(empty.Size(), 0);
}

TEST(StdioFile, OpensRegularFilesOnly) {
    FMOD_RESULT result = FMOD_OK;
    EXPECT_EQ(OpenStdioFile("/no/such/file.wav", &result), nullptr);
    EXPECT_EQ(result, FMOD_ERR_FILE_NOTFOUND);
    EXPECT_EQ(OpenStdioFile(TempFolder().c_str(), &result), nullptr);  // a directory
    EXPECT_EQ(result, FMOD_ERR_FILE_NOTFOUND);
    EXPECT_EQ(OpenStdioFile("", &result), nullptr);

    std::string path = WriteTempFile("reader.bin", Bytes{9, 8, 7, 6});
    auto reader = OpenStdioFile(path.c_str(), &result);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(result, FMOD_OK);
    EXPECT_EQ(reader->Size(), 4);
    EXPECT_TRUE(reader->Seek(2));
    uint8_t two[2];
    EXPECT_TRUE(ReadExact(*reader, two, 2));
    EXPECT_EQ(two[0], 7);
    EXPECT_EQ(two[1], 6);
    EXPECT_FALSE(reader->Seek(5));
}
