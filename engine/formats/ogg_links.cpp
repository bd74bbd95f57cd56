#include "formats/ogg_links.h"

#include <algorithm>
#include <cstring>

#include "formats/ogg_probe.h"

namespace engine {
namespace {

constexpr size_t kMaxCommentPacket = 1 << 20;
constexpr size_t kResyncChunk = 64 * 1024;
constexpr char kIdentMagic[] = "\x01vorbis";
constexpr char kCommentMagic[] = "\x03vorbis";

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Collects the first two packets (identification and comments) of one stream.
struct HeaderPackets {
    std::vector<uint8_t> packets[2];
    int complete = 0;

    void Take(const uint8_t* lacing, int segments, const uint8_t* body) {
        size_t offset = 0;
        for (int i = 0; i < segments && complete < 2; ++i) {
            std::vector<uint8_t>& packet = packets[complete];
            const size_t room = kMaxCommentPacket - std::min(packet.size(), kMaxCommentPacket);
            packet.insert(packet.end(), body + offset, body + offset + std::min<size_t>(lacing[i], room));
            offset += lacing[i];
            if (lacing[i] < 255) ++complete;
        }
    }
};

// Position of the next "OggS" after `pos`, or `size` when there is none.
int64_t NextCapture(Reader& in, uint64_t pos, uint64_t size) {
    std::vector<uint8_t> chunk(kResyncChunk);
    for (uint64_t at = pos + 1; at + 4 <= size; at += kResyncChunk - 3) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(kResyncChunk, size - at));
        if (!in.Seek(at) || !ReadExact(in, chunk.data(), want)) return -1;
        for (size_t i = 0; i + 4 <= want; ++i)
            if (std::memcmp(chunk.data() + i, "OggS", 4) == 0) return static_cast<int64_t>(at + i);
    }
    return static_cast<int64_t>(size);
}

}  // namespace

bool ScanOggVorbis(Reader& in, OggVorbisLayout& out) {
    const int64_t fileSize = in.Size();
    if (fileSize < 0 || !in.CanSeek()) return false;
    const uint64_t size = static_cast<uint64_t>(fileSize);
    out = OggVorbisLayout{};

    HeaderPackets headers;
    bool inLink = false, linkHasData = false, linkIsVorbis = false;
    uint32_t serial = 0;
    OggLink link;
    std::vector<uint8_t> body;
    uint64_t pos = 0;
    while (pos + kOggPageHeaderSize <= size) {
        uint8_t raw[kOggPageHeaderSize + 255];
        OggPageHeader page;
        if (!in.Seek(pos) || !ReadExact(in, raw, kOggPageHeaderSize)) return false;
        if (!ParseOggPageHeader(raw, page) || !ReadExact(in, raw + kOggPageHeaderSize, page.segments)) {
            const int64_t next = NextCapture(in, pos, size);
            if (next < 0) return false;
            pos = static_cast<uint64_t>(next);
            continue;
        }
        const uint8_t* lacing = raw + kOggPageHeaderSize;
        size_t bodySize = 0;
        for (int i = 0; i < page.segments; ++i) bodySize += lacing[i];
        const uint64_t next = pos + kOggPageHeaderSize + page.segments + bodySize;
        if (next > size) break;  // a cut-off last page

        const bool first = page.flags & 0x02;
        if (first && (!inLink || linkHasData)) {  // a new link of the chain
            if (inLink && linkIsVorbis) {
                link.end = pos;
                out.links.push_back(link);
            }
            link = OggLink{};
            link.start = pos;
            inLink = true;
            linkHasData = linkIsVorbis = false;
        }
        const bool wantBody = first || (linkIsVorbis && page.serial == serial && out.links.empty() &&
                                        headers.complete < 2);
        if (wantBody) {
            body.resize(bodySize);
            if (!ReadExact(in, body.data(), bodySize)) return false;
        }
        if (first && !linkIsVorbis && bodySize >= 7 && std::memcmp(body.data(), kIdentMagic, 7) == 0) {
            linkIsVorbis = true;
            serial = page.serial;
        }
        if (!first) linkHasData = true;
        if (linkIsVorbis && page.serial == serial) {
            if (page.granuleKnown) link.samples = page.granule;
            if (out.links.empty() && headers.complete < 2) headers.Take(lacing, page.segments, body.data());
        }
        pos = next;
    }
    if (inLink && linkIsVorbis) {
        link.end = pos;
        out.links.push_back(link);
    }
    if (out.links.empty()) return false;

    // Without its three header packets and some audio a stream is not worth opening.
    const std::vector<uint8_t>& ident = headers.packets[0];
    if (headers.complete < 2 || ident.size() < 16 || out.links[0].samples == 0) return false;
    out.channels = ident[11];
    out.sampleRate = Le32(ident.data() + 12);
    const std::vector<uint8_t>& comments = headers.packets[1];
    if (comments.size() >= 7 && std::memcmp(comments.data(), kCommentMagic, 7) == 0)
        out.commentPacket.assign(comments.begin() + 7, comments.end());
    return true;
}

}  // namespace engine
