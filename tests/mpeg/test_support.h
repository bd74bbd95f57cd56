#pragma once
// Fixture loading, decoding with our decoder in chunks of any size, cutting, joining and
// rewriting streams.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "audio_builders.h"
#include "mpeg/mpeg.h"

using enginetest::SnrDb;

inline std::vector<uint8_t> LoadFixture(const std::string& name) { return enginetest::ReadFixture(name); }

// The first `count` frames of a stream of standard bitrate.
inline std::vector<uint8_t> FirstFrames(const std::vector<uint8_t>& stream, int count) {
    size_t end = 0;
    mpeg::FrameHeader h;
    for (int i = 0; i < count && mpeg::ParseFrameHeader(&stream[end], h); ++i) end += static_cast<size_t>(h.frameBytes);
    return std::vector<uint8_t>(stream.begin(), stream.begin() + static_cast<long>(end));
}

inline std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

struct OurPcm {
    std::vector<float> samples;  // interleaved
    int channels = 0, sampleRate = 0;
    int frames = 0;            // audio frames decoded
    std::vector<int> damaged;  // indices of the damaged frames
};

// Feeds `data` in pieces of `chunk` bytes (0: all at once) the way a streaming caller
// does: unconsumed bytes are passed again together with the next piece.
OurPcm DecodeWithOurs(const std::vector<uint8_t>& data, size_t chunk = 0);

// Rewrites the header of every frame of a stream of standard bitrates: free format (bitrate
// index 0), or intensity stereo switched on in the joint-stereo frames.
enum class Rewrite { FreeFormat, IntensityStereo };
std::vector<uint8_t> Rewritten(std::vector<uint8_t> stream, Rewrite how);
