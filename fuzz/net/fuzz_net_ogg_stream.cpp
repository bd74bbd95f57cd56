// The live Ogg Vorbis decoder on arbitrary bytes, read as a stream that cannot seek: open,
// then decode until it ends or fails, through the format fuzzers' harness.
#include "fuzz_codec_decode.h"
#include "net/ogg_stream_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<engine::Decoder> decoder;
    if (engine::OpenOggStream(std::make_unique<ForwardOnlyReader>(data, size), [](const engine::StreamTitle&) {}, &decoder) == FMOD_OK)
        FuzzDecoder(*decoder, data, size);
    return 0;
}
