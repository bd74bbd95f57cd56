// ADTS frames split from bytes arriving in pieces (every frame handed out must be whole and
// agree with its header), the ADTS probe, and MP4 tags from a file and from a bare moov body.
#include <cstring>

#include "formats/adts_frames.h"
#include "formats/system_decoders.h"
#include "fuzz_codec_decode.h"
#include "tags/mp4_tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    engine::AdtsSplitter splitter;
    engine::AdtsFrame frame;
    size_t at = 0, piece = size ? data[0] % 64 + 1 : 1;
    for (bool end = false; !end;) {
        end = at >= size;
        const size_t n = std::min(piece, size - std::min(at, size));
        if (n) splitter.Push(data + at, n);
        at += n;
        while (splitter.Next(frame, end)) {
            engine::AdtsHeader again;
            if (frame.payloadBytes + frame.header.headerBytes != frame.header.frameBytes || frame.header.rawBlocks != 1 ||
                frame.header.frameBytes > engine::kAdtsMaxFrameBytes || frame.header.channels < 1)
                __builtin_trap();
            if (!engine::ParseAdtsHeader(frame.payload - frame.header.headerBytes, again) ||
                again.frameBytes != frame.header.frameBytes)
                __builtin_trap();
            volatile uint8_t last = frame.payload[frame.payloadBytes - 1];
            (void)last;
        }
    }
    engine::ProbeAdts(data, size);
    engine::TagList fromFile, fromMoov;
    engine::MemoryReader reader(data, size);
    engine::ReadMp4Tags(reader, fromFile);
    engine::ParseMp4Tags(data, size, fromMoov);
    TouchTags(fromFile), TouchTags(fromMoov);
    return 0;
}
