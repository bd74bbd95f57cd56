#pragma once
// Where every frame of an MPEG stream starts, for seeks that land on the right frame
// (the Xing table and constant-bitrate arithmetic are only as good as 1 % steps).
#include <cstdint>
#include <vector>

#include "formats/mpeg_container.h"
#include "io/reader.h"
#include "mpeg/mpeg_stream.h"

namespace engine {

// Offsets relative to region.audioStart, as mpeg::PlanSeek takes them; empty on a read
// error or for files above 1 GB. Leaves the reader anywhere.
std::vector<uint64_t> IndexMpegFrames(Reader& reader, const MpegRegion& region, const mpeg::StreamInfo& info);

}  // namespace engine
