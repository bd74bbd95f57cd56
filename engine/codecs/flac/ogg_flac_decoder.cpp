// Ogg pages to packets, packets to FLAC header blocks and frames.
#include <cstring>

#include "containers/endian.h"
#include "frame_limits.h"
#include "flac/ogg_flac.h"

namespace flac {
namespace {

// The first packet: 0x7F "FLAC", version 1.x, header packet count, "fLaC", STREAMINFO.
constexpr size_t kFirstPacketBytes = 51;
constexpr size_t kMaxHeaderBytes = 64u << 20;

bool IsFrameStart(const std::vector<uint8_t>& p) { return p.size() >= 2 && p[0] == 0xFF && (p[1] & 0xFE) == 0xF8; }

}  // namespace

OggFlacDecoder::OggFlacDecoder() : packets_(kMaxFrameBytes) {}

void OggFlacDecoder::Feed(const uint8_t* data, size_t size) {
    Compact();
    buffer_.insert(buffer_.end(), data, data + size);
}

void OggFlacDecoder::Compact() {
    if (readPos_ == 0 || readPos_ < buffer_.size() / 2)
        return;
    buffer_.erase(buffer_.begin(), buffer_.begin() + ptrdiff_t(readPos_));
    bufferStart_ += readPos_;
    readPos_ = 0;
}

void OggFlacDecoder::Restart(uint64_t byteOffset) {
    buffer_.clear();
    readPos_ = 0;
    bufferStart_ = byteOffset;
    inputFinished_ = false;
    streamEnded_ = false;
    packets_.Restart();  // a page that continues a packet is passed over up to its end
}

Result OggFlacDecoder::ReadPage() {
    for (;;) {
        size_t avail = buffer_.size() - readPos_;
        if (avail == 0)
            return inputFinished_ ? Result::EndOfStream : Result::NeedMoreData;
        const uint8_t* p = buffer_.data() + readPos_;
        container::OggPage page;
        container::OggParse r = container::ParseOggPage(p, avail, page);
        if (r == container::OggParse::kOk) {
            pageStart_ = bufferStart_ + readPos_;
            readPos_ += page.totalBytes;
            if (page.serial == serial_) {
                packets_.AddPage(page);
                if (page.flags & container::kOggLast)
                    streamEnded_ = true;
            }
            return Result::Ok;
        }
        if (r == container::OggParse::kNeedMoreData)
            return inputFinished_ ? Result::EndOfStream : Result::NeedMoreData;
        // Not a page, or a damaged one: the packet it carried a part of is lost too.
        ++skipped_;
        packets_.LosePage();
        readPos_ += container::NextOggCapture(p, avail);
    }
}

Result OggFlacDecoder::NextPacket() {
    while (!packets_.Next(packet_)) {
        if (streamEnded_)
            return Result::EndOfStream;
        Result r = ReadPage();
        if (r != Result::Ok)
            return r;
    }
    return Result::Ok;
}

Result OggFlacDecoder::ReadHeaders() {
    if (haveMetadata_)
        return Result::Ok;
    // The beginning pages: one of them starts the FLAC stream.
    while (!haveSerial_) {
        size_t avail = buffer_.size() - readPos_;
        container::OggPage page;
        container::OggParse r = container::ParseOggPage(buffer_.data() + readPos_, avail, page);
        if (r == container::OggParse::kNeedMoreData)
            return inputFinished_ ? Result::NotFlac : Result::NeedMoreData;
        if (r != container::OggParse::kOk || !(page.flags & container::kOggFirst))
            return Result::NotFlac;
        readPos_ += page.totalBytes;
        packets_.Restart();
        packets_.AddPage(page);
        const std::vector<uint8_t>& b = packet_;
        if (!packets_.Next(packet_) || b.size() < kFirstPacketBytes || std::memcmp(b.data(), "\x7F" "FLAC", 5) != 0 ||
            b[5] != 1 || std::memcmp(b.data() + 9, "fLaC", 4) != 0)
            continue;  // another stream's first page
        headerPackets_ = container::Be16(b.data() + 7);
        unknownHeaderCount_ = headerPackets_ == 0;
        headerBytes_.assign(b.begin() + 9, b.begin() + kFirstPacketBytes);
        lastBlockAt_ = 4;
        haveSerial_ = true;
        serial_ = page.serial;
        if (page.flags & container::kOggLast)
            streamEnded_ = true;
    }
    // The other header packets, one metadata block each.
    uint64_t audioStart = 0;
    while (headerPackets_ > 0 || unknownHeaderCount_) {
        Result r = NextPacket();
        if (r == Result::EndOfStream)
            break;  // a stream without audio
        if (r != Result::Ok)
            return r;
        if (unknownHeaderCount_ && IsFrameStart(packet_)) {
            packets_.PutBack(std::move(packet_));
            audioStart = pageStart_;
            break;
        }
        if (packet_.size() < 4 || headerBytes_.size() + packet_.size() > kMaxHeaderBytes)
            return Result::BadMetadata;
        lastBlockAt_ = headerBytes_.size();
        headerBytes_.insert(headerBytes_.end(), packet_.begin(), packet_.end());
        if (headerPackets_ > 0)
            --headerPackets_;
    }
    unknownHeaderCount_ = false;
    headerBytes_[lastBlockAt_] |= 0x80;
    Result r = ReadMetadata(headerBytes_.data(), headerBytes_.size(), meta_);
    if (r != Result::Ok)
        return r == Result::NeedMoreData ? Result::BadMetadata : r;
    meta_.seekTable.clear();
    meta_.audioOffset = audioStart ? audioStart : bufferStart_ + readPos_;  // audio starts on a fresh page
    headerBytes_.clear();
    haveMetadata_ = true;
    return Result::Ok;
}

Result OggFlacDecoder::NextFrame() {
    Result r = ReadHeaders();
    if (r != Result::Ok)
        return r;
    for (;;) {
        if ((r = NextPacket()) != Result::Ok)
            return r;
        if (IsFrameStart(packet_) &&
            DecodeFrame(packet_.data(), packet_.size(), meta_.info, scratch_, frame_) == Result::Ok)
            return Result::Ok;
        ++skipped_;
    }
}

}  // namespace flac
