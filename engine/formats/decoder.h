#pragma once
// What every format hands the engine: format facts, lengths, PCM as floats and
// sample-exact seeking. Decoders are used by one thread at a time: the caller
// that opens them, then the engine's decode thread.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fmodex.h"
#include "io/reader.h"

namespace engine {

struct StreamFormat {
    FMOD_SOUND_TYPE type = FMOD_SOUND_TYPE_UNKNOWN;
    FMOD_SOUND_FORMAT format = FMOD_SOUND_FORMAT_NONE;
    int channels = 0;
    int bitsPerSample = 0;
    uint32_t sampleRate = 0;
    uint64_t lengthFrames = 0;  // 0 when unknown (live streams)
    uint64_t rawBytes = 0;      // size of the encoded audio data
};

class Decoder {
public:
    virtual ~Decoder() = default;
    virtual const StreamFormat& Format() const = 0;
    // Up to maxFrames interleaved frames in -1..1; returns the frames written,
    // 0 at the end of the audio, -1 on a read error.
    virtual int64_t ReadFrames(float* out, size_t maxFrames) = 0;
    // The next ReadFrames starts at this frame; false when it cannot seek there.
    virtual bool SeekToFrame(uint64_t frame) = 0;
};

// Limits that keep bad headers from asking for absurd buffers.
constexpr int kMaxChannels = 32;
constexpr uint32_t kMinSampleRate = 100;
constexpr uint32_t kMaxSampleRate = 768000;

inline bool PlausibleLayout(int channels, uint32_t sampleRate) {
    return channels >= 1 && channels <= kMaxChannels && sampleRate >= kMinSampleRate &&
           sampleRate <= kMaxSampleRate;
}

}  // namespace engine
