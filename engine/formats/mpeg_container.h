#pragma once
// What surrounds MPEG audio in a file: ID3v2 tags in front, ID3v1, APE and appended
// ID3v2 tags behind. The audio data lies between.
#include <cstdint>

#include "io/reader.h"
#include "tags/tag_list.h"

namespace engine {

struct MpegRegion {
    uint64_t audioStart = 0;
    uint64_t audioEnd = 0;  // UINT64_MAX when the size is unknown (live streams)
};

// Reads the tags at both ends into `tags` (ID3v1 first, then the ID3v2 tags in file order)
// and finds the audio between them.
// False on a read error or when nothing is left for audio.
bool ReadMpegSurroundings(Reader& in, TagList& tags, MpegRegion& region);

}  // namespace engine
