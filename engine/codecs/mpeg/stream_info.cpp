// Length of a stream from its Xing/Info or VBRI header, or estimated from its first frames.
#include <cstring>

#include "mpeg/frame_scan.h"
#include "mpeg/mpeg_stream.h"

namespace mpeg {
namespace {

constexpr int kEstimateFrames = 64;

}  // namespace

bool ReadStreamInfo(const uint8_t* data, size_t size, uint64_t totalSize, StreamInfo& out) {
    out = StreamInfo{};
    FrameHeader h;
    int bytes = 0;
    const size_t first = FindFrame(data, size, Id3v2Size(data, size), nullptr, h, bytes);
    if (bytes == 0) return false;
    out.header = h;
    out.firstFrameOffset = first;
    out.audioOffset = first;
    if (ParseXing(data + first, static_cast<size_t>(bytes), out.xing) ||
        ParseVbri(data + first, static_cast<size_t>(bytes), out.vbri))
        out.audioOffset = first + static_cast<size_t>(bytes);

    // Audio ends at the end of the data, or before an ID3v1 tag when the data shows one.
    uint64_t end = totalSize;
    if (size == totalSize && size >= 128 && std::memcmp(data + size - 128, "TAG", 3) == 0) end -= 128;
    out.audioBytes = end > out.audioOffset ? end - out.audioOffset : 0;
    if (out.xing.bytes > static_cast<uint32_t>(bytes)) out.audioBytes = out.xing.bytes - static_cast<uint32_t>(bytes);

    if (out.xing.frames > 0) {
        out.frames = out.xing.frames;
        out.exact = true;
    } else if (out.vbri.frames > 0) {
        out.frames = out.vbri.frames;
        out.exact = true;
    } else {
        // Average size of the first frames, spread over the audio bytes.
        // With the whole stream at hand, all frames are counted.
        const bool whole = size == totalSize;
        uint64_t counted = 0, countedBytes = 0;
        size_t pos = out.audioOffset;
        FrameHeader frame;
        while (whole || counted < kEstimateFrames) {
            int frameBytes = 0;
            pos = NextFrame(data, size, pos, h, frame, frameBytes);
            if (frameBytes == 0) break;
            ++counted;
            countedBytes += static_cast<uint64_t>(frameBytes);
            pos += static_cast<size_t>(frameBytes);
        }
        if (counted == 0) return false;
        out.frames = whole ? counted : (out.audioBytes * counted + countedBytes / 2) / countedBytes;
        out.exact = whole;
    }
    out.decodedSamples = out.frames * static_cast<uint64_t>(h.samplesPerFrame);
    out.length = out.decodedSamples;
    if (out.xing.hasLameTag) {
        const uint64_t trimmed = static_cast<uint64_t>(out.xing.encoderDelay + out.xing.encoderPadding);
        out.skipStart = static_cast<uint64_t>(out.xing.encoderDelay + kDecoderDelay);
        out.length = out.decodedSamples > trimmed ? out.decodedSamples - trimmed : 0;
    }
    return true;
}

}  // namespace mpeg
