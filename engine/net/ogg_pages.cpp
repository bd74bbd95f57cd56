#include "net/ogg_pages.h"

#include <cstring>

#include "tags/vorbis_comment.h"

namespace engine {

bool ReadOggPage(Reader& in, OggPage& page) {
    uint8_t fixed[kOggPageHeaderSize];
    if (!ReadExact(in, fixed, sizeof fixed) || !ParseOggPageHeader(fixed, page.header)) return false;
    uint8_t lacing[255];
    const size_t segments = static_cast<size_t>(page.header.segments);
    if (!ReadExact(in, lacing, segments)) return false;
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i) body += lacing[i];
    page.bytes.assign(fixed, fixed + sizeof fixed);
    page.bytes.insert(page.bytes.end(), lacing, lacing + segments);
    const size_t at = page.bytes.size();
    page.bytes.resize(at + body);
    return ReadExact(in, page.bytes.data() + at, body);
}

CommentHeader CheckCommentHeader(const std::vector<uint8_t>& pages) {
    std::vector<uint8_t> packet;
    size_t at = 0;
    for (int page = 0; at + kOggPageHeaderSize <= pages.size(); ++page) {
        OggPageHeader header;
        if (!ParseOggPageHeader(&pages[at], header)) return CommentHeader::kBroken;
        const size_t segments = static_cast<size_t>(header.segments);
        if (at + kOggPageHeaderSize + segments > pages.size()) return CommentHeader::kIncomplete;
        const uint8_t* lacing = &pages[at + kOggPageHeaderSize];
        size_t body = at + kOggPageHeaderSize + segments;
        for (size_t i = 0; i < segments; ++i) {
            if (body + lacing[i] > pages.size()) return CommentHeader::kIncomplete;
            if (page > 0) {
                packet.insert(packet.end(), pages.begin() + static_cast<long>(body),
                              pages.begin() + static_cast<long>(body + lacing[i]));
                if (lacing[i] < 255) {
                    const bool sound = packet.size() >= 7 && std::memcmp(packet.data(), "\x03vorbis", 7) == 0 &&
                                       VorbisCommentBlockIsWhole(packet.data() + 7, packet.size() - 7);
                    return sound ? CommentHeader::kSound : CommentHeader::kBroken;
                }
            }
            body += lacing[i];
        }
        at = body;
    }
    return CommentHeader::kIncomplete;
}

}  // namespace engine
