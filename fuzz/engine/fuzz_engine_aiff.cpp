// AIFF/AIFF-C container, its text and ID3 chunks, and PCM decoding from memory.
#include "fuzz_codec_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOpenAndDecode(engine::OpenAiff, data, size, true);
    return 0;
}
