// The ID3v2 reader on a whole tag, and ID3v1 on the last 128 bytes.
#include "fuzz_codec_decode.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    engine::TagList tags;
    (void)container::Id3v2TagSize(data, size);
    engine::ReadId3v2(data, size, tags);
    if (size >= engine::kId3v1Size) engine::ReadId3v1(data + size - engine::kId3v1Size, tags);
    TouchTags(tags);
    return 0;
}
