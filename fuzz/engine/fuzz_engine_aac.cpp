// ADTS frames split from bytes arriving in pieces (each frame handed out whole and as its
// header says), the ADTS probe, and MP4 tags from a file and from a bare moov body.
#include "formats/adts_frames.h"
#include "formats/system_decoders.h"
#include "fuzz_codec_decode.h"
#include "tags/mp4_tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    engine::AdtsSplitter splitter;
    engine::AdtsFrame frame;
    engine::AdtsHeader again;
    const size_t piece = size ? data[0] % 64 + 1 : 1;
    for (size_t at = 0; at <= size; at += piece) {
        splitter.Push(data + at, std::min(piece, size - at));
        while (splitter.Next(frame, at + piece > size)) {
            const uint8_t* start = frame.payload - frame.header.headerBytes;
            if (!engine::ParseAdtsHeader(start, again) || again.frameBytes != frame.header.frameBytes ||
                frame.payloadBytes + frame.header.headerBytes != frame.header.frameBytes || frame.header.rawBlocks != 1)
                __builtin_trap();
            volatile uint8_t last = frame.payload[frame.payloadBytes - 1];  // within the buffer (ASan)
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
