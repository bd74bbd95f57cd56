// The part of a FLAC file before the first frame: ID3v2 (skipped), "fLaC", metadata blocks.
#include "containers/endian.h"
#include "containers/id3v2_size.h"
#include "containers/vorbis_comment.h"
#include "flac/flac.h"

namespace flac {
namespace {

using container::Be16;
using container::Be24;
using container::Be64;

enum BlockType : uint8_t {
    kStreamInfo = 0,
    kSeekTable = 3,
    kVorbisComment = 4,
    kInvalidType = 127,
};

constexpr uint64_t kPlaceholderSample = ~uint64_t(0);

Result ReadStreamInfo(const uint8_t* p, uint32_t length, StreamInfo& info) {
    if (length < 34)
        return Result::BadMetadata;
    info.minBlockSize = Be16(p);
    info.maxBlockSize = Be16(p + 2);
    info.minFrameSize = Be24(p + 4);
    info.maxFrameSize = Be24(p + 7);
    uint64_t packed = Be64(p + 10);  // rate 20, channels-1 3, bits-1 5, total 36
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
        point.sample = Be64(p + at);
        point.byteOffset = Be64(p + at + 8);
        point.frameSamples = Be16(p + at + 16);
        // Points must rise; anything else is a placeholder or damage and is left out.
        if (point.sample == kPlaceholderSample)
            continue;
        if (!points.empty() && (point.sample <= points.back().sample || point.byteOffset <= points.back().byteOffset))
            continue;
        points.push_back(point);
    }
}

bool ReadVorbisComment(const uint8_t* p, uint32_t length, Metadata& meta) {
    container::VorbisComments comments;
    if (!container::ParseVorbisComments(p, length, comments) || !comments.whole)
        return false;
    meta.vendor = std::move(comments.vendor);
    meta.comments = std::move(comments.fields);
    meta.hasVorbisComment = true;
    return true;
}

}  // namespace

Result ReadMetadata(const uint8_t* data, size_t size, Metadata& out) {
    out = Metadata();
    uint64_t at = container::Id3v2TagSize(data, size);
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
        uint32_t length = Be24(data + at + 1);
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
