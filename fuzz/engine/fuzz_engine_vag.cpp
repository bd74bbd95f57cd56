// VAG header and ADPCM decoding from memory: open, decode all, seek, decode again.
#include "fuzz_codec_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOpenAndDecode(engine::OpenVag, data, size);
    return 0;
}
