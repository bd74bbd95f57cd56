// Feeds arbitrary bytes to every entry point of the FLAC decoder: metadata, single frames,
// the push decoder in pieces, the seek search, and the same for FLAC in Ogg.
#include <cstddef>
#include <cstdint>

#include "flac/flac.h"
#include "flac/ogg_flac.h"

namespace {

void DecodeInPieces(const uint8_t* data, size_t size, size_t piece) {
    flac::StreamDecoder decoder;
    size_t fed = 0;
    for (;;) {
        flac::Result r = decoder.NextFrame();
        if (r == flac::Result::NeedMoreData) {
            size_t n = size - fed < piece ? size - fed : piece;
            decoder.Feed(data + fed, n);
            fed += n;
            if (fed == size)
                decoder.FinishInput();
            continue;
        }
        if (r != flac::Result::Ok)
            break;
    }
}

void DecodeOggInPieces(const uint8_t* data, size_t size, size_t piece) {
    flac::OggFlacDecoder decoder;
    size_t fed = 0;
    for (;;) {
        flac::Result r = decoder.NextFrame();
        if (r == flac::Result::NeedMoreData) {
            size_t n = size - fed < piece ? size - fed : piece;
            decoder.Feed(data + fed, n);
            fed += n;
            if (fed == size)
                decoder.FinishInput();
            continue;
        }
        if (r != flac::Result::Ok)
            break;
    }
    if (decoder.HasMetadata()) {
        flac::MemorySource source(data, size);
        flac::SeekTarget target;
        uint64_t total = decoder.metadata().info.totalSamples;
        for (uint64_t sample : {uint64_t(0), total / 2, total ? total - 1 : 12345})
            decoder.FindSeekTarget(source, sample, target);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    flac::Metadata meta;
    bool haveMeta = flac::ReadMetadata(data, size, meta) == flac::Result::Ok;

    // A frame at the very start, with and without stream facts to fall back on.
    flac::FrameScratch scratch;
    flac::DecodedFrame frame;
    flac::DecodeFrame(data, size, flac::StreamInfo(), scratch, frame);
    flac::StreamInfo guess;
    guess.sampleRate = 44100;
    guess.bitsPerSample = 16;
    guess.channels = 2;
    guess.minBlockSize = guess.maxBlockSize = 4096;
    flac::DecodeFrame(data, size, guess, scratch, frame);

    DecodeInPieces(data, size, size ? size : 1);
    DecodeInPieces(data, size, 1 + (size ? data[size - 1] : 0) * 7);

    if (size >= 4 && data[0] == 'O' && data[1] == 'g') {
        DecodeOggInPieces(data, size, size ? size : 1);
        DecodeOggInPieces(data, size, 1 + (size ? data[size - 1] : 0) * 7);
        return 0;
    }

    if (haveMeta) {
        flac::MemorySource source(data, size);
        flac::SeekTarget target;
        uint64_t total = meta.info.totalSamples ? meta.info.totalSamples : 1u << 20;
        for (uint64_t sample : {uint64_t(0), total / 3, total - 1, total + 1})
            flac::FindSeekTarget(source, meta, sample, target);
    }
    return 0;
}
