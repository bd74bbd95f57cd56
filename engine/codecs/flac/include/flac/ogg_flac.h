#pragma once
// FLAC in an Ogg container: each packet after the header packets is one frame. The same
// push interface as StreamDecoder; the first FLAC stream in the data is decoded, pages of
// other streams are passed over, and its last page ends the stream.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "containers/ogg_packets.h"
#include "flac/flac.h"

namespace flac {

class OggFlacDecoder {
public:
    OggFlacDecoder();

    void Feed(const uint8_t* data, size_t size);
    void FinishInput() { inputFinished_ = true; }

    // Ok: metadata() is valid; its audioOffset is the first page with audio, and its seek
    // table is empty (its offsets do not apply to Ogg pages).
    Result ReadHeaders();
    // Ok: frame() holds the next frame. Damaged pages and frames are skipped and counted.
    Result NextFrame();
    // Continue at a page boundary, as FindSeekTarget gives it; feed from there on.
    void Restart(uint64_t byteOffset);

    // The page to restart at for `targetSample`, found by bisection over the pages'
    // granule positions, and the first sample of the first frame decoded from there. The
    // caller drops (target - frameSample) samples, which may span several frames.
    Result FindSeekTarget(ByteSource& source, uint64_t targetSample, SeekTarget& out) const;

    bool HasMetadata() const { return haveMetadata_; }
    const Metadata& metadata() const { return meta_; }
    const DecodedFrame& frame() const { return frame_; }
    uint64_t skippedFrames() const { return skipped_; }

private:
    Result NextPacket();
    Result ReadPage();
    void Compact();

    std::vector<uint8_t> buffer_;
    size_t readPos_ = 0;
    uint64_t bufferStart_ = 0;
    bool inputFinished_ = false;

    bool haveSerial_ = false;
    uint32_t serial_ = 0;
    bool streamEnded_ = false;
    uint64_t pageStart_ = 0;        // offset of the page read last

    container::OggPackets packets_;  // of our stream
    std::vector<uint8_t> packet_;   // the packet NextPacket gave

    bool haveMetadata_ = false;
    unsigned headerPackets_ = 0;    // header packets still to come after the first
    bool unknownHeaderCount_ = false;  // count 0: headers run up to the first frame
    std::vector<uint8_t> headerBytes_;  // "fLaC" and the metadata blocks, for ReadMetadata
    size_t lastBlockAt_ = 0;
    Metadata meta_;
    uint64_t skipped_ = 0;
    FrameScratch scratch_;
    DecodedFrame frame_;
};

}  // namespace flac
