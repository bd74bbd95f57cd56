// FLAC and FLAC in Ogg: through the engine (metadata, comments, seeking), then the push
// decoders fed in pieces whose size the input picks, single frames and the seek search.
#include "flac/flac.h"
#include "flac/ogg_flac.h"
#include "fuzz_codec_decode.h"

namespace {

template <typename Decoder>
void DecodeInPieces(Decoder& decoder, const uint8_t* data, size_t size, size_t piece) {
    for (size_t fed = 0;;) {
        const flac::Result r = decoder.NextFrame();
        if (r != flac::Result::NeedMoreData && r != flac::Result::Ok) return;
        if (r == flac::Result::Ok) continue;
        const size_t n = std::min(piece, size - fed);
        decoder.Feed(data + fed, n);
        fed += n;
        if (fed == size) decoder.FinishInput();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOpenAndDecode(engine::OpenFlac, data, size);
    const size_t piece = 1 + (size ? data[size - 1] : 0) * 7;
    flac::MemorySource source(data, size);
    flac::SeekTarget target;
    if (size >= 4 && data[0] == 'O' && data[1] == 'g') {
        flac::OggFlacDecoder decoder;
        DecodeInPieces(decoder, data, size, piece);
        const uint64_t total = decoder.HasMetadata() ? decoder.metadata().info.totalSamples : 0;
        for (uint64_t sample : {uint64_t(0), total / 2, total ? total - 1 : 12345})
            if (decoder.HasMetadata()) decoder.FindSeekTarget(source, sample, target);
        return 0;
    }
    flac::StreamDecoder decoder;
    DecodeInPieces(decoder, data, size, piece);
    // A frame at the very start, with and without stream facts to fall back on.
    flac::FrameScratch scratch;
    flac::DecodedFrame frame;
    flac::DecodeFrame(data, size, flac::StreamInfo(), scratch, frame);
    const flac::StreamInfo guess{.minBlockSize = 4096, .maxBlockSize = 4096, .sampleRate = 44100, .channels = 2, .bitsPerSample = 16};
    flac::DecodeFrame(data, size, guess, scratch, frame);
    flac::Metadata meta;
    if (flac::ReadMetadata(data, size, meta) == flac::Result::Ok) {
        const uint64_t total = meta.info.totalSamples ? meta.info.totalSamples : 1u << 20;
        for (uint64_t sample : {uint64_t(0), total / 3, total - 1, total + 1}) flac::FindSeekTarget(source, meta, sample, target);
    }
    return 0;
}
