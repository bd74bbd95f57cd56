#include "formats/ogg_page_reader.h"

#include <cstring>

#include "containers/vorbis_comment.h"

namespace engine {

bool OggPageReader::Next(std::vector<uint8_t>& bytes, container::OggPage& page) {
    skipped_ = 0;
    for (;;) {
        page = container::OggPage{};
        const container::OggParse r = container::ParseOggPage(buffer_.data(), buffer_.size(), page);
        if (r == container::OggParse::kOk) {
            bytes.assign(buffer_.begin(), buffer_.begin() + static_cast<long>(page.totalBytes));
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(page.totalBytes));
            pageOffset_ = offset_;
            offset_ += page.totalBytes;
            container::ParseOggPage(bytes.data(), bytes.size(), page);
            return true;
        }
        if (r == container::OggParse::kBad) {
            const size_t skip = container::NextOggCapture(buffer_.data(), buffer_.size());
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(skip));
            offset_ += skip;
            skipped_ += skip;
            if (skipped_ > kMaxSkipBytes) return false;
            continue;
        }
        // Exactly what the page still lacks, so nothing past it is waited for.
        size_t want = container::kOggHeaderBytes;
        if (buffer_.size() >= container::kOggHeaderBytes)
            want = page.lacing ? page.totalBytes : container::kOggHeaderBytes + page.segments;
        if (want <= buffer_.size()) want = buffer_.size() + 1;
        const size_t have = buffer_.size();
        buffer_.resize(want);
        if (!ReadExact(in_, buffer_.data() + have, want - have)) return false;
    }
}

bool OggPageReader::SeekTo(uint64_t offset) {
    buffer_.clear();
    skipped_ = 0;
    offset_ = offset;
    return in_.Seek(offset);
}

CommentHeader CommentHeaderCheck::AddPage(const container::OggPage& page) {
    packets_.AddPage(page);
    std::vector<uint8_t> packet;
    while (packets_.Next(packet)) {
        if (++seen_ < 2) continue;
        container::VorbisComments comments;
        const bool sound = packet.size() >= 7 && std::memcmp(packet.data(), "\x03vorbis", 7) == 0 &&
                           container::ParseVorbisComments(packet.data() + 7, packet.size() - 7, comments) &&
                           comments.whole;
        return sound ? CommentHeader::kSound : CommentHeader::kBroken;
    }
    return packets_.DroppedPackets() > 0 ? CommentHeader::kBroken : CommentHeader::kIncomplete;
}

}  // namespace engine
