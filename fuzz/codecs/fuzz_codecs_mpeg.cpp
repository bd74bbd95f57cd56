// MPEG container and decoding through the engine: tags at both ends, length, seeking.
#include "fuzz_codec_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOpenAndDecode(engine::OpenMpeg, data, size);
    return 0;
}
