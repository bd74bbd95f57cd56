// Ogg through the engine: Vorbis (chains, comments, stb_vorbis) and FLAC in Ogg.
#include "fuzz_codec_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOpenAndDecode(engine::OpenVorbis, data, size);
    FuzzOpenAndDecode(engine::OpenFlac, data, size);
    return 0;
}
