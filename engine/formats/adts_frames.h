#pragma once
// ADTS, the framing of AAC radio streams and .aac files: each frame is a 7-byte header
// (9 with a CRC) before one raw AAC frame. The splitter finds whole frames in bytes that may
// start in the middle of one or carry garbage, and hands out the raw frames a decoder takes.
// Portable; the decoding itself is the system's (aac_transform_win.cpp).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace engine {

constexpr size_t kAdtsHeaderBytes = 7;
constexpr size_t kAdtsMaxFrameBytes = 8191;  // the 13-bit frame length

struct AdtsHeader {
    int objectType = 0;        // 1 Main, 2 LC, 3 SSR, 4 LTP (the header's profile plus one)
    int rateIndex = 0;         // 0..12
    uint32_t sampleRate = 0;
    int channelConfig = 0;     // 1..7
    int channels = 0;          // configuration 7 has eight
    size_t headerBytes = 0;    // 7, or 9 with a CRC
    size_t frameBytes = 0;     // the header included
    int rawBlocks = 0;         // raw frames in this frame, 1..4
};

// The header at `p` (7 bytes readable). False for anything that is no frame we can hand on:
// no sync, layer not 0, a reserved rate, channel configuration 0 (the layout would be inside
// the payload), or a length that cannot hold the header or is longer than its raw frames can be.
bool ParseAdtsHeader(const uint8_t* p, AdtsHeader& out);
// Whether two frames belong to one stream: object type, rate and channels agree.
bool SameAdtsStream(const AdtsHeader& a, const AdtsHeader& b);
// The two configuration bytes a raw-frame decoder is set up with: object type, rate index,
// channel configuration (as MP4 files carry them).
void AdtsDecoderConfig(const AdtsHeader& header, uint8_t out[2]);
// Where the first frame of a run of `run` matching frames starts within `data`; -1 when none
// lies wholly inside it.
long FindAdtsRun(const uint8_t* data, size_t size, int run);

struct AdtsFrame {
    AdtsHeader header;
    const uint8_t* payload = nullptr;  // the raw frame, CRC left out
    size_t payloadBytes = 0;
};

// Bytes in, frames out. A frame is handed out when it starts where the frame before it ended
// and belongs to the same stream, or else once the next header follows it and matches.
// Everything else is skipped up to the next sync that passes.
class AdtsSplitter {
public:
    void Push(const uint8_t* data, size_t size);
    // The next frame (valid until the next Push or Next call); false when more bytes are needed,
    // or, with `atEnd`, when none is left.
    bool Next(AdtsFrame& frame, bool atEnd = false);
    uint64_t SkippedBytes() const { return skipped_; }
    // Frames left out although whole: several raw frames in one, which a raw decoder cannot take.
    uint64_t DroppedFrames() const { return dropped_; }

private:
    std::vector<uint8_t> buffer_;
    size_t at_ = 0;
    bool inStep_ = false;  // at_ is where the last frame handed out ended
    AdtsHeader last_;
    uint64_t skipped_ = 0;
    uint64_t dropped_ = 0;
};

}  // namespace engine
