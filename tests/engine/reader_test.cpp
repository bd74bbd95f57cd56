// The readers under every format: memory, files, and the replayed head of a stream.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "io/file_reader.h"
#include "io/head_replay_reader.h"

using namespace engine;
using namespace enginetest;

TEST(MemoryReader, ReadsSeeksSkipsAndStopsAtTheEnd) {
    const uint8_t data[] = {1, 2, 3, 4, 5};
    MemoryReader r(data, sizeof data);
    uint8_t buf[8] = {};
    EXPECT_EQ(r.Read(buf, 2), 2);
    EXPECT_EQ(buf[1], 2);
    EXPECT_EQ(r.Read(buf, 8), 3);
    EXPECT_EQ(r.Read(buf, 8), 0);
    EXPECT_TRUE(r.Seek(5));
    EXPECT_FALSE(r.Seek(6));
    EXPECT_EQ(r.Tell(), 5u);
    EXPECT_TRUE(r.Seek(1));
    EXPECT_FALSE(ReadExact(r, buf, 5));  // only 4 left
    EXPECT_TRUE(r.Seek(1));
    EXPECT_TRUE(SkipBytes(r, 2));
    EXPECT_EQ(BytesLeft(r), 2);
    EXPECT_FALSE(SkipBytes(r, 3));
    EXPECT_EQ(MemoryReader(nullptr, 10).Size(), 0);  // a null range reads as empty
}

TEST(StdioFile, OpensRegularFilesOnly) {
    FMOD_RESULT result = FMOD_OK;
    for (const std::string& path : {std::string("/no/such/file.wav"), TempFolder(), std::string()}) {
        EXPECT_EQ(OpenStdioFile(path.c_str(), &result), nullptr) << path;
        EXPECT_EQ(result, FMOD_ERR_FILE_NOTFOUND) << path;
    }
    auto reader = OpenStdioFile(WriteTempFile("reader.bin", Bytes{9, 8, 7, 6}).c_str(), &result);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->Size(), 4);
    EXPECT_TRUE(reader->Seek(2));
    uint8_t two[2];
    EXPECT_TRUE(ReadExact(*reader, two, 2));
    EXPECT_EQ(two[1], 6);
    EXPECT_FALSE(reader->Seek(5));
}

TEST(HeadReplayReader, RereadsTheHeadThenGoesOnlyForward) {
    Bytes counting(10000);
    for (size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<uint8_t>(i * 7);
    HeadReplayReader r(std::make_unique<TestReader>(counting, TestReaderOptions{true, 700}), 1000);
    uint8_t buf[600];
    ASSERT_TRUE(ReadExact(r, buf, 600));
    ASSERT_TRUE(r.Seek(10));  // back into the kept head
    ASSERT_TRUE(ReadExact(r, buf, 1));
    EXPECT_EQ(buf[0], 70);
    ASSERT_TRUE(r.Seek(2500));  // forward past the head: read and dropped
    ASSERT_TRUE(ReadExact(r, buf, 1));
    EXPECT_EQ(buf[0], static_cast<uint8_t>(2500 * 7));
    EXPECT_FALSE(r.Seek(0));  // the head is gone once the source moved past it
    EXPECT_FALSE(r.Seek(2000));
    EXPECT_TRUE(r.Seek(2601));
    EXPECT_FALSE(r.Seek(20000));
    EXPECT_EQ(r.Size(), -1);
}
