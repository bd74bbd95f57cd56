#pragma once
// What the FLAC tests share: fixture files, libFLAC as the reference, and our push decoders
// (StreamDecoder or OggFlacDecoder) fed in pieces.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "flac/flac.h"

std::vector<uint8_t> ReadFixtureFile(const std::string& fileName);

struct Pcm {
    flac::Result result = flac::Result::Ok;  // ours: EndOfStream when it ran to the end
    bool ok = false;                         // libFLAC: decoded to the end
    unsigned channels = 0, bitsPerSample = 0;
    uint64_t totalSamples = 0;
    std::vector<int32_t> samples;  // interleaved
    uint64_t errors = 0;           // frames libFLAC reported damaged, or ours skipped
};

// `ogg`: FLAC in an Ogg container.
Pcm DecodeWithLibFlac(const std::vector<uint8_t>& file, bool ogg = false);

// Feeds `file` `chunk` bytes at a time and hands every frame to `onFrame`; returns the result
// that ended decoding (EndOfStream at the end, or the error).
template <typename Decoder, typename OnFrame>
flac::Result FeedInChunks(Decoder& decoder, const std::vector<uint8_t>& file, size_t chunk, OnFrame onFrame) {
    for (size_t fed = 0;;) {
        const flac::Result r = decoder.NextFrame();
        if (r == flac::Result::Ok) {
            onFrame(decoder.frame());
        } else if (r == flac::Result::NeedMoreData) {
            const size_t n = std::min(chunk, file.size() - fed);
            decoder.Feed(file.data() + fed, n);
            if ((fed += n) == file.size()) decoder.FinishInput();
        } else {
            return r;
        }
    }
}

// All our decoder gives for `file` fed in pieces of `chunk` bytes.
template <typename Decoder = flac::StreamDecoder>
Pcm DecodeWithOurs(const std::vector<uint8_t>& file, size_t chunk, Decoder decoder = {}) {
    Pcm out;
    out.result = FeedInChunks(decoder, file, chunk, [&](const flac::DecodedFrame& frame) {
        out.samples.insert(out.samples.end(), frame.samples.begin(), frame.samples.end());
    });
    const flac::StreamInfo& info = decoder.metadata().info;
    out.channels = info.channels, out.bitsPerSample = info.bitsPerSample, out.totalSamples = info.totalSamples;
    out.errors = decoder.skippedFrames();
    return out;
}
