// A reader that fails at its n-th call: opening fails whole or the decoder reports the
// error, and nothing stays behind (every reader is destroyed).
#include <gtest/gtest.h>

#include "codec_support.h"
#include "io/memory_reader.h"

using namespace codectest;

namespace {

int g_liveReaders = 0;

class FailingReader : public engine::Reader {
public:
    FailingReader(const Bytes& bytes, int failAt) : memory_(bytes.data(), bytes.size()), failAt_(failAt) { ++g_liveReaders; }
    ~FailingReader() override { --g_liveReaders; }
    int64_t Read(void* buffer, size_t count) override {
        if (++calls_ == failAt_) return -1;
        return memory_.Read(buffer, count);
    }
    bool Seek(uint64_t offset) override { return memory_.Seek(offset); }
    uint64_t Tell() const override { return memory_.Tell(); }
    int64_t Size() const override { return memory_.Size(); }
    bool CanSeek() const override { return true; }
    int calls() const { return calls_; }

private:
    engine::MemoryReader memory_;
    int failAt_;
    int calls_ = 0;
};

// Returns true once the failure no longer struck (the file was read whole without it).
bool RunWithFailureAt(const Bytes& bytes, int failAt) {
    auto reader = std::make_unique<FailingReader>(bytes, failAt);
    FailingReader* raw = reader.get();
    engine::TagList tags;
    engine::OpenedSound sound;
    const FMOD_RESULT result = engine::OpenByContent(std::move(reader), tags, sound);
    if (result != FMOD_OK) {
        EXPECT_EQ(sound.decoder, nullptr) << failAt;  // no half-open sound
        return false;
    }
    engine::Decoder& d = *sound.decoder;
    std::vector<float> buffer(4096 * d.Format().channels);
    int64_t n;
    while ((n = d.ReadFrames(buffer.data(), 4096)) > 0) {}
    if (d.SeekToFrame(d.Format().lengthFrames / 2)) d.ReadFrames(buffer.data(), 4096);
    return raw->calls() < failAt;
}

TEST(FaultInjection, EveryReadFailingOnceLeavesNothingBehind) {
    for (const char* file : {"tag_v23_utf16.mp3", "f16.flac", "f16.oga", "v_chained.ogg"}) {
        const Bytes bytes = ReadFixture(file);
        int failAt = 1;
        for (; failAt < 2000 && !RunWithFailureAt(bytes, failAt); ++failAt) {
            ASSERT_EQ(g_liveReaders, 0) << file << " failing at read " << failAt;
        }
        EXPECT_LT(failAt, 2000) << file;
        EXPECT_EQ(g_liveReaders, 0) << file;
    }
}

}  // namespace
