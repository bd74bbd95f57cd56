// Ogg pages to packets, packets to FLAC header blocks and frames.
#include <cstring>

#include "frame_limits.h"
#include "flac/ogg_flac.h"
#include "ogg_page.h"

namespace flac {
namespace {

// The first packet: 0x7F "FLAC", version 1.x, header packet count, "fLaC", STREAMINFO.
constexpr size_t kFirstPacketBytes = 51;
constexpr size_t kMaxHeaderBytes = 64u << 20;

bool IsFrameStart(const std::vector<uint8_t>& p) { return p.size() >= 2 && p[0] == 0xFF && (p[1] & 0xFE) == 0xF8; }

}  // namespace

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
    sequenceKnown_ = false;
    streamEnded_ = false;
    partial_.clear();
    partialValid_ = false;  // a page that continues a packet is passed over up to its end
    ready_.clear();
    readyPos_ = 0;
}

void OggFlacDecoder::TakePage(const OggPage& page) {
    if (page.serial != serial_)
        return;
    bool lost = sequenceKnown_ && page.sequence != nextSequence_;
    sequenceKnown_ = true;
    nextSequence_ = page.sequence + 1;
    if (!(page.flags & kOggContinued)) {
        partial_.clear();  // a packet left open before is lost
        partialValid_ = true;
    } else if (lost) {
        partial_.clear();
        partialValid_ = false;
    }
    const uint8_t* at = page.body;
    for (unsigned i = 0; i < page.segments; ++i) {
        uint8_t lace = page.lacing[i];
        if (partialValid_) {
            partial_.insert(partial_.end(), at, at + lace);
            if (partial_.size() > kMaxFrameBytes) {
                partial_.clear();
                partialValid_ = false;
            }
        }
        at += lace;
        if (lace < 255) {
            if (partialValid_)
                ready_.push_back(std::move(partial_));
            partial_.clear();
            partialValid_ = true;
        }
    }
    if (page.flags & kOggLast)
        streamEnded_ = true;
}

Result OggFlacDecoder::ReadPage() {
    for (;;) {
        size_t avail = buffer_.size() - readPos_;
        if (avail == 0)
            return inputFinished_ ? Result::EndOfStream : Result::NeedMoreData;
        const uint8_t* p = buffer_.data() + readPos_;
        OggPage page;
        Result r = ParseOggPage(p, avail, page);
        if (r == Result::Ok) {
            pageStart_ = bufferStart_ + readPos_;
            readPos_ += page.totalBytes;
            TakePage(page);
            return r;
        }
        if (r == Result::NeedMoreData)
            return inputFinished_ ? Result::EndOfStream : r;
        // Not a page, or a damaged one: the packet it carried a part of is lost too.
        ++skipped_;
        partial_.clear();
        partialValid_ = false;
        readPos_ += NextOggCapture(p, avail);
    }
}

Result OggFlacDecoder::NextPacket() {
    while (readyPos_ == ready_.size()) {
        ready_.clear();
        readyPos_ = 0;
        if (streamEnded_)
            return Result::EndOfStream;
        Result r = ReadPage();
        if (r != Result::Ok)
            return r;
    }
    packet_ = std::move(ready_[readyPos_++]);
    return Result::Ok;
}

Result OggFlacDecoder::ReadHeaders() {
    if (haveMetadata_)
        return Result::Ok;
    // The beginning pages: one of them starts the FLAC stream.
    while (!haveSerial_) {
        size_t avail = buffer_.size() - readPos_;
        OggPage page;
        Result r = ParseOggPage(buffer_.data() + readPos_, avail, page);
        if (r == Result::NeedMoreData)
            return inputFinished_ ? Result::NotFlac : r;
        if (r != Result::Ok || !(page.flags & kOggFirst))
            return Result::NotFlac;
        readPos_ += page.totalBytes;
        size_t first = 0;
        for (unsigned i = 0; i < page.segments; ++i) {
            first += page.lacing[i];
            if (page.lacing[i] < 255)
                break;
        }
        const uint8_t* b = page.body;
        if (first < kFirstPacketBytes || std::memcmp(b, "\x7F" "FLAC", 5) != 0 || b[5] != 1 ||
            std::memcmp(b + 9, "fLaC", 4) != 0)
            continue;  // another stream's first page
        headerPackets_ = (unsigned(b[7]) << 8) | b[8];
        unknownHeaderCount_ = headerPackets_ == 0;
        headerBytes_.assign(b + 9, b + kFirstPacketBytes);
        lastBlockAt_ = 4;
        haveSerial_ = true;
        serial_ = page.serial;
        sequenceKnown_ = true;
        nextSequence_ = page.sequence + 1;
        partialValid_ = true;
        if (page.flags & kOggLast)
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
            ready_.insert(ready_.begin() + ptrdiff_t(readyPos_), std::move(packet_));
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
