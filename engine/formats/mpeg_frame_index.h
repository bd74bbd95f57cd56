#pragma once
// Where every 32nd frame of an MPEG stream starts, for seeks that land on the right frame
// (the Xing table and constant-bitrate arithmetic are only as good as 1 % steps). An hour at
// 128 kbit/s has 138,000 frames: a sparse index keeps that to about 35 KB, and a seek
// decodes at most 31 frames more (well under a millisecond).
#include <cstdint>
#include <vector>

#include "formats/mpeg_container.h"
#include "io/reader.h"
#include "mpeg/mpeg_stream.h"

namespace engine {

constexpr uint64_t kFrameIndexStep = 32;

struct MpegFrameIndex {
    std::vector<uint64_t> offsets;  // of frames 0, step, 2 step, ..., relative to region.audioStart
    uint64_t frames = 0;            // every frame found; 0 on a read error or above 1 GB
};

// Leaves the reader anywhere.
MpegFrameIndex IndexMpegFrames(Reader& reader, const MpegRegion& region, const mpeg::StreamInfo& info);

}  // namespace engine
