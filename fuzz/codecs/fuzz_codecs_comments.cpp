// The Vorbis comment block reader, and the APE footer check on the input's end.
#include "fuzz_codec_decode.h"
#include "tags/ape_tag.h"
#include "tags/vorbis_comment.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    engine::TagList tags;
    engine::ReadVorbisCommentBlock(data, size, tags);
    if (size >= engine::kApeFooterSize && engine::ApeTagSize(data + size - engine::kApeFooterSize, size) > size)
        __builtin_trap();
    TouchTags(tags);
    return 0;
}
