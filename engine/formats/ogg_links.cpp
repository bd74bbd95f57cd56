#include "formats/ogg_links.h"

#include <algorithm>
#include <cstring>

#include "formats/ogg_probe.h"
#include "tags/vorbis_comment.h"

namespace engine {
namespace {

constexpr size_t kMaxCommentPacket = 16 << 20;
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
    bool tooLarge = false;

    void Take(const uint8_t* lacing, int segments, const uint8_t* body) {
        size_t offset = 0;
        for (int i = 0; i < segments && complete < 2; ++i) {
            std::vector<uint8_t>& packet = packets[complete];
            if (packet.size() + lacing[i] > kMaxCommentPacket) tooLarge = true;
            else packet.insert(packet.end(), body + offset, body + offset + lacing[i]);
            offset += lacing[i];
            if (lacing[i] < 255) ++complete;
        }
    }

    // Both headers complete, and the comment fields inside their packet.
    bool Sound() const {
        if (complete < 2 || tooLarge || packets[0].size() < 16) return false;
        const std::vector<uint8_t>& c = packets[1];
        return c.size() >= 7 && std::memcmp(c.data(), kCommentMagic, 7) == 0 &&
               VorbisCommentBlockIsWhole(c.data() + 7, c.size() - 7);
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

    bool inLink = false, linkHasData = false, linkIsVorbis = false;
    uint32_t serial = 0;
    OggLink link;
    HeaderPackets headers;
    // Closes the link being walked: kept when its headers are sound and it has audio.
    auto finishLink = [&](uint64_t end) {
        if (!inLink || !linkIsVorbis || !headers.Sound() || link.samples == 0) return;
        link.end = end;
        link.commentBytes = headers.packets[1].size();
        if (out.links.empty()) {
            const std::vector<uint8_t>& ident = headers.packets[0];
            out.channels = ident[11];
            out.sampleRate = Le32(ident.data() + 12);
            out.commentPacket.assign(headers.packets[1].begin() + 7, headers.packets[1].end());
        }
        out.links.push_back(link);
    };

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
            finishLink(pos);
            link = OggLink{};
            link.start = pos;
            headers = HeaderPackets{};
            inLink = true;
            linkHasData = linkIsVorbis = false;
        }
        const bool ours = linkIsVorbis && page.serial == serial;
        if (first || (ours && headers.complete < 2)) {
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
            if (headers.complete < 2) headers.Take(lacing, page.segments, body.data());
        }
        pos = next;
    }
    finishLink(pos);
    return !out.links.empty();
}

}  // namespace engine
