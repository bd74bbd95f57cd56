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

// After a seek: feeds the file from the target's offset to a decoder that has read the headers,
// drops the first `drop` samples and returns up to `want` more (interleaved). The first frame
// must be the one the seek named.
template <typename Decoder>
std::vector<int32_t> DecodeAfterSeek(Decoder& decoder, const std::vector<uint8_t>& file, const flac::SeekTarget& where,
                                     uint64_t drop, size_t want) {
    decoder.Restart(where.byteOffset);
    decoder.Feed(file.data() + where.byteOffset, file.size() - size_t(where.byteOffset));
    decoder.FinishInput();
    std::vector<int32_t> got;
    for (bool first = true; got.size() < want && decoder.NextFrame() == flac::Result::Ok; first = false) {
        if (first && decoder.frame().header.firstSample != where.frameSample) return {};
        const auto& s = decoder.frame().samples;
        const size_t skip = size_t(drop < s.size() ? drop : s.size());
        drop -= skip;
        got.insert(got.end(), s.begin() + ptrdiff_t(skip), s.end());
    }
    if (got.size() > want) got.resize(want);
    return got;
}

// Everything our push decoder (StreamDecoder or OggFlacDecoder) gives for a file fed in
// pieces of `chunkBytes`.
struct OurDecode {
    flac::Result result = flac::Result::Ok;  // EndOfStream when it ran to the end
    flac::Metadata meta;
    std::vector<int32_t> samples;            // interleaved
    uint64_t skippedFrames = 0;
};
template <typename Decoder>
OurDecode DecodeWithOurs(Decoder& decoder, const std::vector<uint8_t>& file, size_t chunkBytes) {
    OurDecode out;
    out.result = FeedInChunks(decoder, file, chunkBytes, [&](const flac::DecodedFrame& frame) {
        out.samples.insert(out.samples.end(), frame.samples.begin(), frame.samples.end());
    });
    out.meta = decoder.metadata();
    out.skippedFrames = decoder.skippedFrames();
    return out;
}
inline OurDecode DecodeWithOurs(const std::vector<uint8_t>& file, size_t chunkBytes) {
    flac::StreamDecoder decoder;
    return DecodeWithOurs(decoder, file, chunkBytes);
}
