#pragma once
// Engine-level helpers: opening bytes through content detection as the library does,
// decoding in chunks, tags, and a reader that streams, counts or fails on purpose.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio_builders.h"
#include "formats/format_open.h"
#include "io/memory_reader.h"
#include "playback/mixer.h"
#include "tags/tag_list.h"

namespace enginetest {

struct Opened {
    FMOD_RESULT result = FMOD_ERR_INTERNAL;
    engine::OpenedSound sound;
    engine::TagList tags;
};
std::unique_ptr<Opened> OpenReader(std::unique_ptr<engine::Reader> reader, const engine::OpenHints& hints = {});
std::unique_ptr<Opened> OpenBytes(const Bytes& bytes, const engine::OpenHints& hints = {});

// `frames` frames from the decoder's position (fewer at the end), read in chunks of `chunk` frames.
std::vector<float> DecodeFrames(engine::Decoder& decoder, size_t frames, size_t chunk = SIZE_MAX);
// Every frame from the decoder's position on.
inline std::vector<float> DecodeAll(engine::Decoder& decoder, size_t chunk = 1000) { return DecodeFrames(decoder, SIZE_MAX, chunk); }

// Decodes everything (chunks of 1023 frames), then `frames` frames after each seek, and
// compares both with `reference` (interleaved, from frame 0) within `tolerance`.
void ExpectDecodesLike(engine::Decoder& decoder, const std::vector<float>& reference, double tolerance,
                       const std::vector<uint64_t>& seeks, size_t frames);

// The first value of that name (and type, unless UNKNOWN), or "<none>".
std::string TagValue(const engine::TagList& tags, const std::string& name, FMOD_TAGTYPE type = FMOD_TAGTYPE_UNKNOWN);
// Every tag as name and value, in order.
using Fields = std::vector<std::pair<std::string, std::string>>;
Fields TagFields(const engine::TagList& tags);

// A stream of `length` frames whose ring holds `samples` (interleaved), put there directly;
// `end`: nothing follows them.
std::shared_ptr<engine::StreamJob> MixerJob(int channels, uint32_t rate, uint64_t length, const std::vector<float>& samples,
                                            bool end = true);
// A mixer with four slots rendering 44.1 kHz stereo, which the test drives by hand.
struct MixerRig {
    engine::Mixer mixer{4};
    std::vector<float> out;
    MixerRig() { mixer.Configure({44100, 2}); }
    engine::ChannelState& Play(int slot, std::shared_ptr<engine::StreamJob> job, float volume = 1.0f);
    // Renders into `out` (filled with -9 first), then tells the mixer `queued` frames still wait.
    void Render(uint32_t frames, uint64_t queued = 0);
    uint64_t Audible(const engine::ChannelState& ch) { return engine::AudibleFrame(ch, mixer.PlayedFrames()); }
};

// Memory read like a test needs it: forward only with unknown size (a network stream,
// arriving in pieces of `piece` bytes), or failing at the n-th read. Counts what it gives.
struct TestReaderOptions {
    bool forwardOnly = false;
    size_t piece = 0;  // 0: as much as asked for
    int failAt = 0;    // 0: never
};
class TestReader : public engine::Reader {
public:
    TestReader(Bytes bytes, TestReaderOptions options);
    ~TestReader() override;
    int64_t Read(void* buffer, size_t count) override;
    bool Seek(uint64_t offset) override { return !options_.forwardOnly && memory_.Seek(offset); }
    uint64_t Tell() const override { return memory_.Tell(); }
    int64_t Size() const override { return options_.forwardOnly ? -1 : memory_.Size(); }
    bool CanSeek() const override { return !options_.forwardOnly; }

    int reads = 0;
    uint64_t bytesRead = 0;
    static int live;                  // readers not yet destroyed
    static uint64_t bytesReadByLast;  // by the reader destroyed last

private:
    Bytes bytes_;
    engine::MemoryReader memory_;
    TestReaderOptions options_;
};

}  // namespace enginetest
