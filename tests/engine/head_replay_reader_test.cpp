#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "io/head_replay_reader.h"
#include "open_helpers.h"

using namespace engine;
using namespace enginetest;

namespace {

// A source like a network stream: forward reads only, size unknown.
class StreamLike : public Reader {
public:
    explicit StreamLike(Bytes bytes) : bytes_(std::move(bytes)) {}
    int64_t Read(void* buffer, size_t count) override {
        size_t n = std::min(count, bytes_.size() - position_);
        n = std::min<size_t>(n, 700);  // arrives in small pieces
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return static_cast<int64_t>(n);
    }
    bool Seek(uint64_t) override { return false; }
    uint64_t Tell() const override { return position_; }
    int64_t Size() const override { return -1; }
    bool CanSeek() const override { return false; }

private:
    Bytes bytes_;
    size_t position_ = 0;
};

Bytes Counting(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 7);
    return b;
}

}  // namespace

TEST(HeadReplayReader, RereadsTheHeadThenGoesOnlyForward) {
    HeadReplayReader r(std::make_unique<StreamLike>(Counting(10000)), 1000);
    uint8_t buf[600];
    ASSERT_TRUE(ReadExact(r, buf, 600));
    ASSERT_TRUE(r.Seek(10));  // back into the kept head
    ASSERT_TRUE(ReadExact(r, buf, 1));
    EXPECT_EQ(buf[0], 70);
    ASSERT_TRUE(r.Seek(2500));  // forward past the head: read and dropped
    ASSERT_TRUE(ReadExact(r, buf, 1));
    EXPECT_EQ(buf[0], static_cast<uint8_t>(2500 * 7));
    EXPECT_FALSE(r.Seek(0));  // the head can no longer be replayed after the source moved past it
    EXPECT_FALSE(r.Seek(2000));
    EXPECT_TRUE(r.Seek(2501 + 100));
    EXPECT_FALSE(r.Seek(20000));  // past the end
    EXPECT_EQ(r.Size(), -1);
}

TEST(HeadReplayReader, StreamsOpenByContentLikeFiles) {
    WavLayout s;
    s.data = EncodePcmLe(Sine(440, 44100, 2, 30000), 2);
    const Bytes wav = MakeWav(s);
    TagList tags;
    OpenedSound streamed;
    ASSERT_EQ(OpenByContent(std::make_unique<StreamLike>(wav), tags, streamed), FMOD_OK);
    auto fromMemory = OpenBytes(wav);
    ASSERT_EQ(fromMemory->result, FMOD_OK);
    EXPECT_EQ(DecodeAll(*streamed.decoder), DecodeAll(*fromMemory->sound.decoder));

    const std::string m3u = "#EXTM3U\nhttp://a/b.mp3\n";
    OpenedSound list;
    ASSERT_EQ(OpenByContent(std::make_unique<StreamLike>(Bytes(m3u.begin(), m3u.end())), tags, list), FMOD_OK);
    EXPECT_EQ(list.format.type, FMOD_SOUND_TYPE_PLAYLIST);
}
