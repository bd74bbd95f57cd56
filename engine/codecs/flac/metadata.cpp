// The part of a FLAC file before the first frame: ID3v2 (skipped), "fLaC", metadata blocks.
#include "flac/flac.h"

namespace flac {
namespace {

enum BlockType : uint8_t {
    kStreamInfo = 0,
    kSeekTable = 3,
    kVorbisComment = 4,
    kInvalidType = 127,
};

constexpr uint64_t kPlaceholderSample = ~uint64_t(0);

uint32_t BigEndian(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | p[i];
    return v;
}

uint64_t BigEndian64(const uint8_t* p) {
    return (uint64_t(BigEndian(p, 4)) << 32) | BigEndian(p + 4, 4);
}

uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Size of an ID3v2 tag at data[0], 0 when there is none.
uint64_t Id3v2Size(const uint8_t* data, size_t size) {
    if (size < 10 || data[0] != 'I' || data[1] != 'D' || data[2] != '3')
        return 0;
    for (int i = 6; i < 10; ++i)
        if (data[i] & 0x80)
            return 0;  // not a sync-safe size: no tag
    uint64_t body = uint64_t(data[6]) << 21 | uint64_t(data[7]) << 14 | uint64_t(data[8]) << 7 | data[9];
    bool hasFooter = (data[5] & 0x10) != 0;
    return 10 + body + (hasFooter ? 10 : 0);
}

Result ReadStreamInfo(const uint8_t* p, uint32_t length, StreamInfo& info) {
    if (length < 34)
        return Result::BadMetadata;
    info.minBlockSize = BigEndian(p, 2);
    info.maxBlockSize = BigEndian(p + 2, 2);
    info.minFrameSize = BigEndian(p + 4, 3);
    info.maxFrameSize = BigEndian(p + 7, 3);
    uint64_t packed = BigEndian64(p + 10);  // rate 20, channels-1 3, bits-1 5, total 36
    info.sampleRate = uint32_t(packed >> 44);
    info.channels = uint32_t((packed >> 41) & 7) + 1;
    info.bitsPerSample = uint32_t((packed >> 36) & 31) + 1;
    info.totalSamples = packed & 0xFFFFFFFFFull;
    for (int i = 0; i < 16; ++i)
        info.md5[i] = p[18 + i];
    if (info.sampleRate == 0 || info.bitsPerSample < 4 || info.maxBlockSize < 16 ||
        info.minBlockSize > info.maxBlockSize)
        return Result::BadMetadata;
    return Result::Ok;
}

void ReadSeekTable(const uint8_t* p, uint32_t length, std::vector<SeekPoint>& points) {
    points.clear();
    for (uint32_t at = 0; at + 18 <= length; at += 18) {
        SeekPoint point;
        point.sample = BigEndian64(p + at);
        point.byteOffset = BigEndian64(p + at + 8);
        point.frameSamples = BigEndian(p + at + 16, 2);
        // Points must rise; anything else is a placeholder or damage and is left out.
        if (point.sample == kPlaceholderSample)
            continue;
        if (!points.empty() && (point.sample <= points.back().sample || point.byteOffset <= points.back().byteOffset))
            continue;
        points.push_back(point);
    }
}

bool ReadVorbisComment(const uint8_t* p, uint32_t length, Metadata& meta) {
    uint32_t at = 0;
    auto readString = [&](std::string& out) {
        if (length - at < 4)
            return false;
        uint32_t n = LittleEndian32(p + at);
        at += 4;
        if (n > length - at)
            return false;
        out.assign(reinterpret_cast<const char*>(p + at), n);
        at += n;
        return true;
    };
    if (!readString(meta.vendor) || length - at < 4)
        return false;
    uint32_t count = LittleEndian32(p + at);
    at += 4;
    // Each field takes at least 4 bytes, which bounds the count by the block's length.
    if (count > (length - at) / 4)
        return false;
    meta.comments.resize(count);
    for (std::string& field : meta.comments)
        if (!readString(field))
            return false;
    meta.hasVorbisComment = true;
    return true;
}

}  // namespace

Result ReadMetadata(const uint8_t* data, size_t size, Metadata& out) {
    out = Metadata();
    uint64_t at = Id3v2Size(data, size);
    if (at == 0 && size < 10 && size >= 3 && data[0] == 'I' && data[1] == 'D' && data[2] == '3') {
        out.audioOffset = 10;
        return Result::NeedMoreData;
    }
    if (at + 4 > size) {
        out.audioOffset = at + 4;
        return Result::NeedMoreData;
    }
    if (data[at] != 'f' || data[at + 1] != 'L' || data[at + 2] != 'a' || data[at + 3] != 'C')
        return Result::NotFlac;
    at += 4;

    bool first = true;
    for (;;) {
        if (at + 4 > size) {
            out.audioOffset = at + 4;
            return Result::NeedMoreData;
        }
        bool last = (data[at] & 0x80) != 0;
        uint8_t type = data[at] & 0x7F;
        uint32_t length = BigEndian(data + at + 1, 3);
        at += 4;
        if (type == kInvalidType || (first != (type == kStreamInfo)))
            return Result::BadMetadata;
        if (at + length > size) {
            out.audioOffset = at + length;  // what the caller must supply at least
            return Result::NeedMoreData;
        }
        const uint8_t* body = data + at;
        Result result = Result::Ok;
        if (type == kStreamInfo)
            result = ReadStreamInfo(body, length, out.info);
        else if (type == kSeekTable)
            ReadSeekTable(body, length, out.seekTable);
        else if (type == kVorbisComment && !out.hasVorbisComment && !ReadVorbisComment(body, length, out)) {
            // Broken tags cost the tags, not the music.
            out.vendor.clear();
            out.comments.clear();
        }
        // Padding, application, cue sheet and picture blocks are not needed here.
        if (result != Result::Ok)
            return result;
        at += length;
        first = false;
        if (last)
            break;
    }
    out.audioOffset = at;
    return Result::Ok;
}

}  // namespace flac
