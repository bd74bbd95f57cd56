// Opening reads headers and tags, not the audio: the player's tag scan opens thousands.
#include <gtest/gtest.h>

#include "codec_support.h"
#include "io/memory_reader.h"

using namespace codectest;

namespace {

class CountingReader : public engine::Reader {
public:
    CountingReader(const Bytes& bytes, uint64_t* counter) : memory_(bytes.data(), bytes.size()), counter_(counter) {}
    int64_t Read(void* buffer, size_t count) override {
        const int64_t n = memory_.Read(buffer, count);
        if (n > 0) *counter_ += static_cast<uint64_t>(n);
        return n;
    }
    bool Seek(uint64_t offset) override { return memory_.Seek(offset); }
    uint64_t Tell() const override { return memory_.Tell(); }
    int64_t Size() const override { return memory_.Size(); }
    bool CanSeek() const override { return true; }

private:
    engine::MemoryReader memory_;
    uint64_t* counter_;
};

uint64_t BytesReadByOpen(const Bytes& bytes) {
    uint64_t count = 0;
    engine::TagList tags;
    engine::OpenedSound sound;
    EXPECT_EQ(engine::OpenByContent(std::make_unique<CountingReader>(bytes, &count), tags, sound), FMOD_OK);
    EXPECT_GT(sound.format.lengthFrames, 0u);
    EXPECT_GT(tags.Count() + 1, 0u);
    return count;
}

TEST(OpenOnly, ReadsHeadersAndTagsNotTheAudio) {
    // Long files: eight times the 10 s fixtures (the MP3 with its Xing header in front).
    struct Case {
        const char* file;
        uint64_t limit;
    };
    for (const Case& c : {Case{"l3_vbr.mp3", 24 * 1024}, Case{"tag_v23_utf16.mp3", 24 * 1024},
                          Case{"f16.flac", 72 * 1024}, Case{"v_stereo.ogg", 0}}) {
        Bytes bytes = ReadFixture(c.file);
        if (c.limit > 0) {
            const Bytes audio = bytes;
            for (int i = 0; i < 7; ++i) bytes.insert(bytes.end(), audio.begin(), audio.end());
        }
        const uint64_t read = BytesReadByOpen(bytes);
        // Ogg is walked page by page: only the page headers are read.
        const uint64_t limit = c.limit > 0 ? c.limit : bytes.size() / 10;
        EXPECT_LE(read, limit) << c.file << " of " << bytes.size() << " bytes";
    }
}

}  // namespace
