#pragma once
// Whole Ogg pages off a reader (a file, or a stream that cannot seek), and the check that
// a link's comment header can be handed to the Vorbis decoder (which trusts the lengths
// inside it).
#include <cstdint>
#include <vector>

#include "containers/ogg_packets.h"
#include "containers/ogg_page.h"
#include "io/reader.h"

namespace engine {

class OggPageReader {
public:
    explicit OggPageReader(Reader& in) : in_(in), offset_(in.Tell()) {}

    // The next page with a sound checksum, its bytes in `bytes` and `page` pointing into
    // them. Damaged pages and bytes between pages are passed over; false at the end of the
    // stream, or when kMaxSkipBytes in a row hold no page.
    bool Next(std::vector<uint8_t>& bytes, container::OggPage& page);
    // Bytes passed over before the page read last.
    uint64_t SkippedBytes() const { return skipped_; }
    // Where the page read last starts in the reader.
    uint64_t PageOffset() const { return pageOffset_; }
    // Goes on from `offset` (the reader seeks there); false when it cannot.
    bool SeekTo(uint64_t offset);

    static constexpr uint64_t kMaxSkipBytes = 256 * 1024;

private:
    Reader& in_;
    std::vector<uint8_t> buffer_;  // read but not handed out: never more than one page
    uint64_t offset_;              // of buffer_[0] in the reader
    uint64_t skipped_ = 0;
    uint64_t pageOffset_ = 0;
};

enum class CommentHeader { kIncomplete, kSound, kBroken };

// Takes the pages of one link from its first; the comment header is its second packet.
class CommentHeaderCheck {
public:
    explicit CommentHeaderCheck(size_t maxPacketBytes) : packets_(maxPacketBytes) {}
    CommentHeader AddPage(const container::OggPage& page);

private:
    container::OggPackets packets_;
    int seen_ = 0;
};

}  // namespace engine
