// Telling MPEG audio from other binary data by a run of frames that follow one another.
#include "mpeg/frame_scan.h"
#include "mpeg/mpeg_stream.h"

namespace mpeg {
namespace {

// Frames of the stream of `first` from `pos` on, each where the one before it ends, up to
// kRunFrames; `end` receives where the last one ends. Free-format frames keep the first
// one's size (padding aside), as an encoder writes them.
int CountRun(const uint8_t* data, size_t size, size_t pos, const FrameHeader& first, int firstBytes, size_t& end) {
    int count = 0;
    for (; count < kRunFrames; ++count) {
        FrameHeader h;
        if (pos + 4 > size || !ParseFrameHeader(data + pos, h) || !SameStream(first, h)) break;
        const int bytes = count == 0 ? firstBytes
                          : h.bitrateIndex != 0 ? h.frameBytes
                                                : FreeFormatSibling(first, firstBytes, h);
        if (pos + static_cast<size_t>(bytes) > size) break;
        pos += static_cast<size_t>(bytes);
    }
    end = pos;
    return count;
}

// Every frame in `data` decodes without breaking the format's rules.
bool DecodesCleanly(const uint8_t* data, size_t size) {
    const DecoderPtr decoder = CreateDecoder();
    if (!decoder) return false;
    float pcm[kMaxFrameFloats];
    size_t pos = 0;
    while (pos < size) {
        FrameOutput out;
        const Result r = DecodeFrame(*decoder, data + pos, size - pos, true, pcm, out);
        if ((r != Result::Ok && r != Result::InfoFrame) || out.frameStart != 0 || out.damaged) return false;
        pos += out.consumed;
    }
    return true;
}

}  // namespace

size_t FindFrameRun(const uint8_t* data, size_t size, bool dataIsWhole, size_t searchBytes) {
    for (size_t pos = 0; pos + 4 <= size && pos <= searchBytes; ++pos) {
        FrameHeader first;
        int bytes = 0;
        pos = FindFrame(data, size, pos, nullptr, first, bytes);
        if (bytes == 0 || pos > searchBytes) break;
        size_t end = 0;
        const int count = CountRun(data, size, pos, first, bytes, end);
        if (count < kRunFrames && !(dataIsWhole && end == size)) continue;
        // A free-format size is only the distance to a look-alike header: the frames
        // themselves must hold up too.
        if (first.bitrateIndex != 0 || DecodesCleanly(data + pos, end - pos)) return pos;
    }
    return size;
}

}  // namespace mpeg
