#include "formats/ogg_links.h"

#include <algorithm>
#include <cstring>

#include "containers/endian.h"
#include "containers/ogg_packets.h"
#include "containers/ogg_page.h"
#include "containers/vorbis_comment.h"

namespace engine {
namespace {

constexpr size_t kMaxCommentPacket = 16 << 20;
constexpr size_t kResyncChunk = 64 * 1024;
constexpr char kIdentMagic[] = "\x01vorbis";
constexpr char kCommentMagic[] = "\x03vorbis";

// Collects the first two packets (identification and comments) of one stream.
struct HeaderPackets {
    container::OggPackets assembler{kMaxCommentPacket};
    std::vector<uint8_t> packets[2];
    int complete = 0;

    void Take(const container::OggPage& page) {
        assembler.AddPage(page);
        while (complete < 2 && assembler.DroppedPackets() == 0 && assembler.Next(packets[complete])) ++complete;
    }

    // Both headers complete, none lost before them, and the comment fields inside their packet.
    bool Sound() const {
        if (complete < 2 || packets[0].size() < 16) return false;
        const std::vector<uint8_t>& c = packets[1];
        container::VorbisComments comments;
        return c.size() >= 7 && std::memcmp(c.data(), kCommentMagic, 7) == 0 &&
               container::ParseVorbisComments(c.data() + 7, c.size() - 7, comments) && comments.whole;
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

// Reads the whole page at `pos` into `bytes` and parses it, checksum included.
container::OggParse ReadWholePage(Reader& in, uint64_t pos, size_t totalBytes, std::vector<uint8_t>& bytes,
                                  container::OggPage& page) {
    bytes.resize(totalBytes);
    if (!in.Seek(pos) || !ReadExact(in, bytes.data(), totalBytes)) return container::OggParse::kNeedMoreData;
    return container::ParseOggPage(bytes.data(), bytes.size(), page);
}

struct GranulePage {
    uint64_t offset = 0;
    size_t totalBytes = 0;
    uint64_t granule = 0;
};

// The link's length: the granule of its last page with a sound checksum. Only the header
// pages are read whole while walking; the audio pages' checksums are checked here, from
// the last one back, so opening reads a page or two rather than the whole file.
bool LastSoundGranule(Reader& in, const std::vector<GranulePage>& pages, uint64_t& samples) {
    std::vector<uint8_t> bytes;
    for (size_t i = pages.size(); i-- > 0;) {
        container::OggPage page;
        const container::OggParse r = ReadWholePage(in, pages[i].offset, pages[i].totalBytes, bytes, page);
        if (r == container::OggParse::kNeedMoreData) return false;
        if (r == container::OggParse::kOk) {
            samples = pages[i].granule;
            return true;
        }
    }
    samples = 0;
    return true;
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
    std::vector<GranulePage> granulePages;
    // Closes the link being walked: kept when its headers are sound and it has audio.
    auto finishLink = [&](uint64_t end) {
        if (!inLink || !linkIsVorbis || !headers.Sound()) return true;
        if (!LastSoundGranule(in, granulePages, link.samples)) return false;
        if (link.samples == 0) return true;
        link.end = end;
        link.commentBytes = headers.packets[1].size();
        if (out.links.empty()) {
            const std::vector<uint8_t>& ident = headers.packets[0];
            out.channels = ident[11];
            out.sampleRate = container::Le32(ident.data() + 12);
            out.commentPacket.assign(headers.packets[1].begin() + 7, headers.packets[1].end());
        }
        out.links.push_back(link);
        return true;
    };

    std::vector<uint8_t> whole;
    uint64_t pos = 0;
    while (pos + container::kOggHeaderBytes <= size) {
        uint8_t raw[container::kOggHeaderBytes + 255];
        container::OggPage page;
        if (!in.Seek(pos) || !ReadExact(in, raw, container::kOggHeaderBytes)) return false;
        bool damaged = container::ParseOggPageHeader(raw, container::kOggHeaderBytes, page) == container::OggParse::kBad ||
                       !ReadExact(in, raw + container::kOggHeaderBytes, page.segments);
        if (!damaged) container::ParseOggPageHeader(raw, sizeof raw, page);
        const uint64_t next = pos + page.totalBytes;
        if (!damaged && next > size) break;  // a cut-off last page

        const bool first = page.flags & container::kOggFirst;
        const bool ours = linkIsVorbis && page.serial == serial;
        // First pages and header pages are read whole, and checked.
        if (!damaged && (first || (ours && headers.complete < 2))) {
            const container::OggParse r = ReadWholePage(in, pos, page.totalBytes, whole, page);
            if (r == container::OggParse::kNeedMoreData) return false;
            damaged = r == container::OggParse::kBad;
        }
        if (damaged) {
            const int64_t capture = NextCapture(in, pos, size);
            if (capture < 0) return false;
            pos = static_cast<uint64_t>(capture);
            continue;
        }

        if (first && (!inLink || linkHasData)) {  // a new link of the chain
            if (!finishLink(pos)) return false;
            link = OggLink{};
            link.start = pos;
            headers = HeaderPackets{};
            granulePages.clear();
            inLink = true;
            linkHasData = linkIsVorbis = false;
        }
        if (first && !linkIsVorbis && page.bodyBytes >= 7 && std::memcmp(page.body, kIdentMagic, 7) == 0) {
            linkIsVorbis = true;
            serial = page.serial;
        }
        if (!first) linkHasData = true;
        if (linkIsVorbis && page.serial == serial) {
            if (page.granule != container::kOggNoGranule) granulePages.push_back({pos, page.totalBytes, page.granule});
            if (headers.complete < 2) headers.Take(page);
        }
        pos = next;
    }
    if (!finishLink(pos)) return false;
    return !out.links.empty();
}

}  // namespace engine
