#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "flac/flac.h"

// Fixture files made by make_fixtures.sh at build time, by name without ".flac".
std::vector<uint8_t> ReadFixture(const std::string& name);
// Any fixture file by its full name.
std::vector<uint8_t> ReadFixtureFile(const std::string& fileName);
const std::vector<std::string>& AllFixtureNames();

// Feeds `file` to a push decoder (StreamDecoder or OggFlacDecoder) `chunk` bytes at a time
// and hands every decoded frame to `onFrame`; returns the result that ended decoding
// (EndOfStream at the end, or the error).
template <typename Decoder, typename OnFrame>
flac::Result FeedInChunks(Decoder& decoder, const std::vector<uint8_t>& file, size_t chunk, OnFrame onFrame) {
    size_t fed = 0;
    for (;;) {
        const flac::Result r = decoder.NextFrame();
        if (r == flac::Result::NeedMoreData) {
            const size_t n = chunk < file.size() - fed ? chunk : file.size() - fed;
            decoder.Feed(file.data() + fed, n);
            fed += n;
            if (fed == file.size()) decoder.FinishInput();
            continue;
        }
        if (r != flac::Result::Ok) return r;
        onFrame(decoder.frame());
    }
}

// Everything our push decoder gives for a file fed in pieces of `chunkBytes`.
struct OurDecode {
    flac::Result result = flac::Result::Ok;  // EndOfStream when it ran to the end
    flac::Metadata meta;
    std::vector<int32_t> samples;            // interleaved
    uint64_t frames = 0;
    uint64_t skippedFrames = 0;
};
OurDecode DecodeWithOurs(const std::vector<uint8_t>& file, size_t chunkBytes);
