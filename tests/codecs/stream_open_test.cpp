// Sources that cannot seek (internet radio): MPEG and FLAC play from the front; Ogg
// Vorbis, which is decoded from memory, refuses them cleanly.
#include <gtest/gtest.h>

#include "codec_support.h"
#include "io/memory_reader.h"

using namespace codectest;

namespace {

class ForwardOnlyReader : public engine::Reader {
public:
    explicit ForwardOnlyReader(const Bytes& bytes) : memory_(bytes.data(), bytes.size()) {}
    int64_t Read(void* buffer, size_t count) override { return memory_.Read(buffer, count); }
    bool Seek(uint64_t) override { return false; }
    uint64_t Tell() const override { return memory_.Tell(); }
    int64_t Size() const override { return -1; }
    bool CanSeek() const override { return false; }

private:
    engine::MemoryReader memory_;
};

TEST(StreamOpen, MpegAndFlacPlayTheSameSamplesFromAStream) {
    for (const char* file : {"tag_v24_utf8.mp3", "l2_192.mp2", "f16.flac", "f16.oga"}) {
        const Bytes bytes = ReadFixture(file);
        auto seekable = OpenBytes(bytes);
        ASSERT_EQ(seekable->result, FMOD_OK) << file;
        engine::TagList tags;
        engine::OpenedSound stream;
        ASSERT_EQ(engine::OpenByContent(std::make_unique<ForwardOnlyReader>(bytes), tags, stream), FMOD_OK) << file;
        EXPECT_EQ(stream.format.type, seekable->sound.format.type);
        EXPECT_EQ(tags.Count(), seekable->tags.Count()) << file;
        const std::vector<float> expected = DecodeRest(*seekable->sound.decoder, 4096);
        // A LAME tag's padding is only known when the length is; a stream may play a frame more.
        const std::vector<float> got = DecodeRest(*stream.decoder, 4096);
        ASSERT_GE(got.size(), expected.size()) << file;
        EXPECT_EQ(std::vector<float>(got.begin(), got.begin() + expected.size()), expected) << file;
        EXPECT_LE(got.size() - expected.size(), 2u * 1152 * 2) << file;
    }
}

TEST(StreamOpen, OggVorbisStreamIsRefusedWithoutAHalfOpenSound) {
    engine::TagList tags;
    engine::OpenedSound stream;
    EXPECT_NE(engine::OpenByContent(std::make_unique<ForwardOnlyReader>(ReadFixture("v_stereo.ogg")), tags, stream),
              FMOD_OK);
    EXPECT_EQ(stream.decoder, nullptr);
}

}  // namespace
