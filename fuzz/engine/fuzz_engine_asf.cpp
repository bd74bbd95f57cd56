// The ASF header reader (tags, stream and file properties) from memory, whole and through a
// reader; and the AAC probes the system's decoders are chosen by.
#include "formats/asf_header.h"
#include "formats/system_decoders.h"
#include "fuzz_codec_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    engine::AsfHeader header, again;
    engine::TagList tags, moreTags;
    if (engine::ParseAsfHeader(data, size, header, tags) && header.LengthFrames() > 0 && header.audio.sampleRate == 0)
        __builtin_trap();
    engine::MemoryReader reader(data, size);
    engine::ReadAsfHeader(reader, again, moreTags);
    TouchTags(tags), TouchTags(moreTags);
    engine::ProbeMp4(data, size), engine::ProbeAdts(data, size);
    return 0;
}
