// The tags of an MP4/M4A file: the top-level boxes are stepped over (mdat by seeking) to
// moov, which is read whole and handed to the tag parser (tags/mp4_tags.h).
#include <cstring>
#include <vector>

#include "containers/endian.h"
#include "formats/system_decoders.h"
#include "tags/mp4_tags.h"

namespace engine {

bool ReadMp4Tags(Reader& reader, TagList& tags) {
    constexpr int kMaxTopBoxes = 1000;
    uint64_t at = 0;
    for (int i = 0; i < kMaxTopBoxes && reader.Seek(at); ++i) {
        uint8_t head[16];
        if (!ReadExact(reader, head, kMp4BoxHeader)) return false;
        uint64_t length = container::Be32(head);
        uint64_t header = kMp4BoxHeader;
        if (length == 1) {
            if (!ReadExact(reader, head + 8, 8)) return false;
            length = container::Be64(head + 8);
            header = 16;
        }
        if (length == 0 || length < header) return false;  // to the end, or broken: no moov behind
        if (std::memcmp(head + 4, "moov", 4) == 0) {
            const int64_t left = BytesLeft(reader);
            if (length - header > kMaxMp4MoovBytes || (left >= 0 && length - header > uint64_t(left))) return false;
            std::vector<uint8_t> moov(static_cast<size_t>(length - header));
            if (!ReadExact(reader, moov.data(), moov.size())) return false;
            ParseMp4Tags(moov.data(), moov.size(), tags);
            return true;
        }
        at += length;
    }
    return false;
}

}  // namespace engine
