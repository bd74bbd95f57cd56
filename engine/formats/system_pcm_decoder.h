#pragma once
// What the system's decoders (Windows Media, Media Foundation) share: they hand out blocks
// of 16-bit PCM stamped with times; this turns them into frames up to the length, and after
// a seek drops the frames before the target (the decoders start a little before it).
#include <vector>

#include "formats/decoder.h"

namespace engine {

constexpr uint64_t kHundredNsPerSecond = 10000000;  // the system decoders' time unit

uint64_t HundredNsToFrames(uint64_t time, uint32_t rate);
uint64_t FramesToHundredNs(uint64_t frames, uint32_t rate);

class SystemPcmDecoder : public Decoder {
public:
    const StreamFormat& Format() const override { return format_; }
    int64_t ReadFrames(float* out, size_t maxFrames) override;
    bool SeekToFrame(uint64_t frame) override;

protected:
    // Asks the decoder to go on from about this time (100 ns units), at most there.
    virtual bool SeekToTime(uint64_t time) = 0;
    // Decodes the next block and gives it to TakeBlock: 1, 0 at the end, -1 on an error.
    virtual int NextBlock() = 0;
    // A block of interleaved 16-bit samples that starts at `time`.
    void TakeBlock(const uint8_t* data, size_t bytes, uint64_t time);

    StreamFormat format_;

private:
    std::vector<int16_t> pending_;
    size_t pendingAt_ = 0;
    uint64_t frame_ = 0;
    uint64_t seekTarget_ = 0;
    bool trimAfterSeek_ = false;
};

}  // namespace engine
