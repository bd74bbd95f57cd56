#include "formats/mpeg_container.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "tags/ape_tag.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"

namespace engine {
namespace {

// Text frames come before pictures in practice: a tag is parsed up to this much and
// skipped beyond it, so cover art never has to be held in memory.
constexpr uint64_t kMaxParsedId3v2 = 1 << 20;
constexpr int kMaxLeadingTags = 4;  // some taggers stack tags instead of replacing them

// Reads `count` bytes at `offset`; false on a short read.
bool ReadAt(Reader& in, uint64_t offset, uint8_t* out, size_t count) {
    return in.Seek(offset) && ReadExact(in, out, count);
}

struct TagSpan {
    uint64_t offset;
    uint64_t size;
};

bool ParseId3v2(Reader& in, const TagSpan& span, TagList& tags) {
    std::vector<uint8_t> tag(static_cast<size_t>(std::min(span.size, kMaxParsedId3v2)));
    if (!in.Seek(span.offset) || !ReadExact(in, tag.data(), tag.size())) return false;
    ReadId3v2(tag.data(), tag.size(), tags);
    return true;
}

// Finds the ID3v2 tags at the start, parsing them only for streams (files parse them
// after the tags at the end); `pos` ends after the last.
bool FindLeadingId3v2(Reader& in, uint64_t fileSize, bool sizeKnown, TagList& tags, std::vector<TagSpan>& spans,
                      uint64_t& pos) {
    for (int i = 0; i < kMaxLeadingTags; ++i) {
        uint8_t header[container::kId3v2HeaderSize];
        if (!in.Seek(pos)) return false;
        const int64_t got = in.Read(header, sizeof header);
        if (got < 0) return false;
        if (got < static_cast<int64_t>(sizeof header)) return true;
        const uint64_t size = container::Id3v2TagSize(header, sizeof header);
        if (size == 0) return true;
        if (sizeKnown && size > fileSize - pos) return false;  // a tag that lies about its size
        if (!sizeKnown) {
            // A stream goes forward only: the tag is read now, straight after its header.
            std::vector<uint8_t> tag(static_cast<size_t>(std::min(size, kMaxParsedId3v2)));
            std::memcpy(tag.data(), header, sizeof header);
            if (!ReadExact(in, tag.data() + sizeof header, tag.size() - sizeof header)) return false;
            ReadId3v2(tag.data(), tag.size(), tags);
            pos += size;
            return SkipBytes(in, size - tag.size());  // looking for another would mean going back
        } else {
            spans.push_back({pos, size});
        }
        pos += size;
    }
    return true;
}

// Strips tags from the end of [start, end): an appended ID3v2 tag, an APE tag and an
// ID3v1 tag, in any order they are found. Only the ID3v1 fields are reported.
bool TrimTrailingTags(Reader& in, uint64_t start, uint64_t& end, TagList& tags) {
    for (int round = 0; round < 3; ++round) {
        const uint64_t available = end - start;
        if (available >= kId3v1Size) {
            uint8_t tag[kId3v1Size];
            if (!ReadAt(in, end - kId3v1Size, tag, sizeof tag)) return false;
            if (std::memcmp(tag, "TAG", 3) == 0) {
                ReadId3v1(tag, tags);
                end -= kId3v1Size;
                continue;
            }
        }
        if (available >= kApeFooterSize) {
            uint8_t footer[kApeFooterSize];
            if (!ReadAt(in, end - kApeFooterSize, footer, sizeof footer)) return false;
            if (uint64_t size = ApeTagSize(footer, available)) {
                end -= size;
                continue;
            }
        }
        if (available >= container::kId3v2HeaderSize) {
            uint8_t footer[container::kId3v2HeaderSize];
            if (!ReadAt(in, end - container::kId3v2HeaderSize, footer, sizeof footer)) return false;
            if (std::memcmp(footer, "3DI", 3) == 0) {
                footer[0] = 'I', footer[1] = 'D', footer[2] = '3';
                const uint64_t size = container::Id3v2TagSize(footer, sizeof footer);  // footer included
                if (size != 0 && size <= available) {
                    end -= size;
                    continue;
                }
            }
        }
        break;
    }
    return true;
}

}  // namespace

bool ReadMpegSurroundings(Reader& in, TagList& tags, MpegRegion& region) {
    const int64_t size = in.Size();
    const bool sizeKnown = size >= 0 && in.CanSeek();
    std::vector<TagSpan> leading;
    uint64_t pos = 0;
    if (!FindLeadingId3v2(in, static_cast<uint64_t>(size), sizeKnown, tags, leading, pos)) return false;
    region.audioStart = pos;
    region.audioEnd = std::numeric_limits<uint64_t>::max();
    if (sizeKnown) {
        uint64_t end = static_cast<uint64_t>(size);
        if (end <= pos) return false;
        // ID3v1 fields come first: readers that keep the last value of a name then
        // get the fuller ID3v2 text rather than one cut to 30 bytes.
        if (!TrimTrailingTags(in, pos, end, tags)) return false;
        if (end <= pos) return false;
        region.audioEnd = end;
    }
    for (const TagSpan& span : leading)
        if (!ParseId3v2(in, span, tags)) return false;
    return true;
}

}  // namespace engine
