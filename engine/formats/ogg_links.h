#pragma once
// The logical streams ("links") of a chained Ogg Vorbis file, found by walking its
// page headers, and the header packets of the first one.
#include <cstdint>
#include <vector>

#include "io/reader.h"

namespace engine {

struct OggLink {
    uint64_t start = 0;    // byte range of the link in the file
    uint64_t end = 0;
    uint64_t samples = 0;  // the last granule position of its Vorbis stream
    // Size of its comment header. Links whose comment header is damaged are dropped:
    // the decoder library does not survive some of those.
    uint64_t commentBytes = 0;
};

struct OggVorbisLayout {
    std::vector<OggLink> links;
    int channels = 0;                    // of the first link
    uint32_t sampleRate = 0;
    std::vector<uint8_t> commentPacket;  // the first link's comment header (a prefix when huge)
};

// False on a read error or when the file does not start with a Vorbis stream.
// Only links with sound headers are listed.
bool ScanOggVorbis(Reader& in, OggVorbisLayout& out);

}  // namespace engine
