#pragma once
// FLAC decoding on byte buffers: stream metadata, single frames, a push decoder that
// takes the file in pieces, and the search that turns a sample number into a byte offset.
// Nothing here reads files or throws; every entry point returns a Result.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace flac {

enum class Result {
    Ok,
    NeedMoreData,  // the buffer ends inside the item; give more bytes and call again
    EndOfStream,   // no more frames (push decoder only)
    NotFlac,       // no "fLaC" marker where one must be
    BadMetadata,   // a metadata block is malformed or runs past the data
    BadFrame,      // a frame header or subframe breaks the format's rules
    CrcMismatch,   // a frame decoded but its checksum disagrees
    NotFound,      // a seek found no frame
};

// Names a result in words, for logs and test failures.
const char* ResultName(Result result);

struct StreamInfo {
    uint32_t minBlockSize = 0;
    uint32_t maxBlockSize = 0;
    uint32_t minFrameSize = 0;  // 0: unknown
    uint32_t maxFrameSize = 0;  // 0: unknown
    uint32_t sampleRate = 0;
    uint32_t channels = 0;
    uint32_t bitsPerSample = 0;
    uint64_t totalSamples = 0;  // per channel; 0: unknown
    uint8_t md5[16] = {};
};

struct SeekPoint {
    uint64_t sample = 0;      // first sample of the frame the point names
    uint64_t byteOffset = 0;  // from the first frame's first byte
    uint32_t frameSamples = 0;
};

struct Metadata {
    StreamInfo info;
    std::vector<SeekPoint> seekTable;      // placeholders removed, in file order
    bool hasVorbisComment = false;
    std::string vendor;                    // UTF-8, as stored
    std::vector<std::string> comments;     // "NAME=value", UTF-8, as stored
    uint64_t audioOffset = 0;              // byte offset of the first frame in the data
};

// Reads everything before the first frame: an optional ID3v2 tag, "fLaC" and the
// metadata blocks. NeedMoreData means the blocks continue past `size`; `audioOffset` then
// holds a lower bound of the bytes needed.
Result ReadMetadata(const uint8_t* data, size_t size, Metadata& out);

struct FrameHeader {
    uint32_t blockSize = 0;
    uint32_t sampleRate = 0;
    uint32_t channels = 0;
    uint32_t channelAssignment = 0;  // 0-7 independent, 8 left/side, 9 right/side, 10 mid/side
    uint32_t bitsPerSample = 0;
    bool variableBlockSize = false;
    uint64_t codedNumber = 0;   // frame number (fixed block size) or first sample (variable)
    uint64_t firstSample = 0;   // resolved with the stream's block size
    size_t headerBytes = 0;     // including the CRC-8 byte
};

// Parses and checks (CRC-8) the frame header at data[0]. Fields the header leaves to the
// stream come from `info`. NeedMoreData when the header is cut off.
Result ParseFrameHeader(const uint8_t* data, size_t size, const StreamInfo& info, FrameHeader& out);

// Reusable buffers of one decoder; the first frames grow them, later frames reuse them.
struct FrameScratch {
    std::vector<int32_t> channels[8];
    std::vector<int64_t> wideSide;   // the side channel of 32-bit stereo needs 33 bits
    std::vector<int32_t> residual;
};

struct DecodedFrame {
    FrameHeader header;
    size_t frameBytes = 0;           // bytes the frame occupied, CRC-16 included
    std::vector<int32_t> samples;    // interleaved, header.blockSize * header.channels
};

// Decodes the frame at data[0], checking both checksums. On NeedMoreData the frame
// runs past `size`. `out.samples` is resized, so reuse one DecodedFrame for speed.
Result DecodeFrame(const uint8_t* data, size_t size, const StreamInfo& info, FrameScratch& scratch,
                   DecodedFrame& out);

// Random access for seeking: a byte range of the whole file, read on request.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to `size` bytes from `offset`; returns how many were copied (0 past the end).
    virtual size_t ReadAt(uint64_t offset, uint8_t* dst, size_t size) = 0;
    virtual uint64_t Size() const = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t ReadAt(uint64_t offset, uint8_t* dst, size_t size) override;
    uint64_t Size() const override { return size_; }

private:
    const uint8_t* data_;
    size_t size_;
};

struct SeekTarget {
    uint64_t byteOffset = 0;   // where the frame holding the sample starts
    uint64_t frameSample = 0;  // its first sample; decode it and drop (target - frameSample)
};

// Finds the frame that holds `targetSample`: the seek table narrows the byte range when
// there is one, then a bisection over frame headers (each confirmed by a full decode)
// closes in. A target at or past the end gives the end of the data and the total.
Result FindSeekTarget(ByteSource& source, const Metadata& meta, uint64_t targetSample, SeekTarget& out);

// Takes the file in pieces of any size and gives one frame at a time. After a seek,
// call Restart with the offset from FindSeekTarget and feed from that offset on.
class StreamDecoder {
public:
    void Feed(const uint8_t* data, size_t size);
    // Call once all bytes have been fed, so a cut-off last frame ends the stream.
    void FinishInput() { inputFinished_ = true; }

    // Ok: metadata() is valid. NeedMoreData: feed more.
    Result ReadHeaders();
    // Ok: frame() holds the next frame. Frames with errors are skipped and counted.
    Result NextFrame();
    void Restart(uint64_t byteOffset);

    bool HasMetadata() const { return haveMetadata_; }
    const Metadata& metadata() const { return meta_; }
    const DecodedFrame& frame() const { return frame_; }
    uint64_t skippedFrames() const { return skippedFrames_; }
    // Offset in the whole data of the next byte the decoder will look at.
    uint64_t position() const { return bufferStart_ + readPos_; }

private:
    void Compact();
    size_t Buffered() const { return buffer_.size() - readPos_; }

    std::vector<uint8_t> buffer_;
    size_t readPos_ = 0;
    uint64_t bufferStart_ = 0;  // offset of buffer_[0] in the whole data
    size_t needBytes_ = 0;      // wait for this much before decoding again
    bool inputFinished_ = false;
    bool haveMetadata_ = false;
    uint64_t skippedFrames_ = 0;
    Metadata meta_;
    FrameScratch scratch_;
    DecodedFrame frame_;
};

}  // namespace flac
