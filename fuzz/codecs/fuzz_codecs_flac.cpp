// Native FLAC through the engine: metadata, Vorbis comments, frames, seeking.
#include "fuzz_codec_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOpenAndDecode(engine::OpenFlac, data, size);
    return 0;
}
