#pragma once
// A stream being decoded ahead: the decode thread fills the ring, the mixer
// drains it. The ring's fields are guarded by the engine's audio lock (see
// mixer.h); the decoder and scratch belong to the decode thread alone once the
// job is registered there.
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "formats/decoder.h"

namespace engine {

struct StreamRing {
    std::vector<float> samples;  // capacityFrames * channels, allocated once
    uint64_t capacityFrames = 0;
    int channels = 0;
    uint64_t readFrame = 0;      // source frame the mixer takes next
    uint64_t writeFrame = 0;     // source frame after the last decoded one
    bool endOfStream = false;    // the decoder has nothing after writeFrame
    bool seekPending = false;
    uint64_t seekTarget = 0;
    uint64_t generation = 0;     // bumped by every seek; older decoded data is dropped
    int loopsLeft = 0;           // times the stream starts over at its end; -1 for ever
    bool startOverPending = false;  // the decoder goes back to frame 0; frames count on
};

struct StreamJob {
    std::unique_ptr<Decoder> decoder;
    StreamFormat format;
    StreamRing ring;
    std::vector<float> scratch;  // decode thread only
    // Held while the decode thread works on this job, so that removing one stream waits
    // for that stream's chunk alone; `removed` (under it) keeps it from being served again.
    std::mutex serviceLock;
    bool removed = false;
};

// Frames of the ring's capacity for a stream buffer size given in an API time unit.
uint64_t RingFramesFor(unsigned int size, FMOD_TIMEUNIT unit, const StreamFormat& format);
std::shared_ptr<StreamJob> MakeStreamJob(std::unique_ptr<Decoder> decoder, uint64_t ringFrames);

uint64_t RingFill(const StreamRing& ring);
uint64_t RingSpace(const StreamRing& ring);
// Copies frames in; the caller checked RingSpace.
void RingWrite(StreamRing& ring, const float* frames, uint64_t count);
// Pointer to the next readable frames and how many lie contiguous there.
const float* RingPeek(const StreamRing& ring, uint64_t* contiguous);
// Resets both ends to `frame` and asks the decode thread to seek there.
void RingRequestSeek(StreamRing& ring, uint64_t frame);

}  // namespace engine
