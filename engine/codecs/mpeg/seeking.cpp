// Seek plans: which byte to start decoding at, and how much to decode and drop, for a
// target sample.
#include <cmath>

#include "mpeg/frame_scan.h"
#include "layer3_side_info.h"
#include "layers.h"
#include "mpeg/mpeg_stream.h"

namespace mpeg {
namespace {

uint64_t TocOffset(const StreamInfo& info, uint64_t frame) {
    const double percent = 100.0 * static_cast<double>(frame) / static_cast<double>(info.frames);
    int index = static_cast<int>(percent);
    if (index > 99) index = 99;
    const double low = info.xing.toc[index];
    const double high = index < 99 ? info.xing.toc[index + 1] : 256.0;
    const double fraction = (low + (high - low) * (percent - index)) / 256.0;
    const double streamBytes = info.xing.bytes > 0 ? info.xing.bytes
                                                   : static_cast<double>(info.audioBytes + (info.audioOffset - info.firstFrameOffset));
    return info.firstFrameOffset + static_cast<uint64_t>(fraction * streamBytes);
}

uint64_t VbriOffset(const StreamInfo& info, uint64_t frame) {
    const VbriInfo& v = info.vbri;
    uint64_t offset = info.audioOffset;
    uint64_t reached = 0;
    for (uint32_t bytes : v.entryBytes) {
        if (reached + v.framesPerEntry > frame) {
            return offset + bytes * (frame - reached) / v.framesPerEntry;
        }
        reached += v.framesPerEntry;
        offset += bytes;
    }
    return offset;
}

}  // namespace

int PrerollFrames(const FrameHeader& header) {
    if (header.layer == 1) return 2;  // the filter history spans 512 samples
    if (header.layer == 2) return 1;
    // Layer III: one frame for the transform overlap, plus the frames that the reservoir may
    // reach back into, counted for the smallest frames this stream can have.
    FrameHeader smallest = header;
    smallest.bitrateIndex = 1;
    smallest.padding = false;
    smallest.bitrateKbps = header.version == Version::Mpeg1 ? 32 : 8;
    const int mainBytes = FrameBytes(smallest) - HeaderBytes(header) - SideInfoBytes(header);
    const int reach = header.version == Version::Mpeg1 ? 511 : 255;
    const int frames = mainBytes > 0 ? (reach + mainBytes - 1) / mainBytes : 16;
    return 1 + (frames < 16 ? frames : 16);
}

SeekPlan PlanSeek(const StreamInfo& info, const std::vector<uint64_t>* frameOffsets, uint64_t sample) {
    SeekPlan plan;
    const uint64_t perFrame = static_cast<uint64_t>(info.header.samplesPerFrame);
    const uint64_t frameCount = frameOffsets != nullptr ? frameOffsets->size() : info.frames;
    if (perFrame == 0 || frameCount == 0) {
        plan.byteOffset = info.audioOffset;
        return plan;
    }
    const uint64_t decoded = sample + info.skipStart;
    uint64_t target = decoded / perFrame;
    if (target >= frameCount) target = frameCount - 1;
    const uint64_t preroll = static_cast<uint64_t>(PrerollFrames(info.header));
    const uint64_t start = target > preroll ? target - preroll : 0;
    plan.frame = start;
    plan.discardSamples = decoded - start * perFrame;

    if (frameOffsets != nullptr) {
        plan.byteOffset = (*frameOffsets)[start];
    } else if (start == 0) {
        plan.byteOffset = info.audioOffset;
    } else if (info.xing.hasToc) {
        plan.byteOffset = TocOffset(info, start);
    } else if (!info.vbri.entryBytes.empty() && info.vbri.framesPerEntry > 0) {
        plan.byteOffset = VbriOffset(info, start);
    } else {
        plan.byteOffset = info.audioOffset + start * info.audioBytes / info.frames;
    }
    return plan;
}

std::vector<uint64_t> ScanFrames(const uint8_t* data, size_t size, const StreamInfo& info) {
    std::vector<uint64_t> offsets;
    size_t pos = info.audioOffset;
    FrameHeader header;
    for (;;) {
        int bytes = 0;
        pos = NextFrame(data, size, pos, info.header, header, bytes);
        if (bytes == 0) break;
        offsets.push_back(pos);
        pos += static_cast<size_t>(bytes);
    }
    return offsets;
}

}  // namespace mpeg
