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

TEST(StreamOpen, Id3v2TagLargerThanTheReplayedHeadIsRead) {
    // 200 KB of picture behind the text frames: more than a stream's head is kept.
    Bytes tag{'I', 'D', '3', 3, 0, 0};
    const Bytes title{'T', 'I', 'T', '2', 0, 0, 0, 6, 0, 0, 0, 'R', 'a', 'd', 'i', 'o'};
    const uint32_t pictureSize = 200000;
    const uint32_t body = uint32_t(title.size()) + 10 + pictureSize;
    for (int shift = 21; shift >= 0; shift -= 7) tag.push_back(uint8_t((body >> shift) & 0x7F));
    tag.insert(tag.end(), title.begin(), title.end());
    const Bytes pictureHeader{'A', 'P', 'I', 'C', uint8_t(pictureSize >> 24), uint8_t(pictureSize >> 16),
                              uint8_t(pictureSize >> 8), uint8_t(pictureSize), 0, 0};
    tag.insert(tag.end(), pictureHeader.begin(), pictureHeader.end());
    tag.resize(tag.size() + pictureSize, 0x11);
    const Bytes audio = ReadFixture("l3_noinfo.mp3");
    tag.insert(tag.end(), audio.begin(), audio.end());

    engine::TagList tags;
    engine::OpenedSound stream;
    ASSERT_EQ(engine::OpenByContent(std::make_unique<ForwardOnlyReader>(tag), tags, stream), FMOD_OK);
    EXPECT_EQ(TagValue(tags, FMOD_TAGTYPE_ID3V2, "TITLE"), "Radio");
    auto file = OpenFixture("l3_noinfo.mp3");
    EXPECT_EQ(DecodeRest(*stream.decoder, 4096), DecodeRest(*file->sound.decoder, 4096));
}

TEST(StreamOpen, OggVorbisStreamIsRefusedWithoutAHalfOpenSound) {
    engine::TagList tags;
    engine::OpenedSound stream;
    EXPECT_NE(engine::OpenByContent(std::make_unique<ForwardOnlyReader>(ReadFixture("v_stereo.ogg")), tags, stream),
              FMOD_OK);
    EXPECT_EQ(stream.decoder, nullptr);
}

}  // namespace
