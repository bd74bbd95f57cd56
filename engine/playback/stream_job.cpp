#include "playback/stream_job.h"

#include <algorithm>
#include <cstring>

#include "formats/time_units.h"

namespace engine {
namespace {

constexpr uint64_t kMinRingMs = 250;       // enough for a steady output even with a tiny request
constexpr uint64_t kMaxRingSamples = 8u << 20;  // 32 MB of floats at most
constexpr size_t kScratchFrames = 4096;

}  // namespace

uint64_t RingFramesFor(unsigned int size, FMOD_TIMEUNIT unit, const StreamFormat& format) {
    uint64_t frames = 0;
    if (!UnitToFrames(size, unit, format, &frames)) frames = 0;
    uint64_t minimum = MsToFrames(kMinRingMs, format.sampleRate);
    uint64_t maximum = kMaxRingSamples / static_cast<uint64_t>(std::max(format.channels, 1));
    return std::clamp(frames, minimum, std::max(minimum, maximum));
}

std::shared_ptr<StreamJob> MakeStreamJob(std::unique_ptr<Decoder> decoder, uint64_t ringFrames) {
    auto job = std::make_shared<StreamJob>();
    job->format = decoder->Format();
    job->decoder = std::move(decoder);
    job->ring.channels = job->format.channels;
    job->ring.capacityFrames = ringFrames;
    job->ring.samples.assign(ringFrames * job->format.channels, 0.0f);
    job->scratch.assign(kScratchFrames * job->format.channels, 0.0f);
    return job;
}

uint64_t RingFill(const StreamRing& ring) { return ring.writeFrame - ring.readFrame; }
uint64_t RingSpace(const StreamRing& ring) { return ring.capacityFrames - RingFill(ring); }

void RingWrite(StreamRing& ring, const float* frames, uint64_t count) {
    const size_t ch = static_cast<size_t>(ring.channels);
    while (count > 0) {
        uint64_t at = ring.writeFrame % ring.capacityFrames;
        uint64_t run = std::min(count, ring.capacityFrames - at);
        std::memcpy(&ring.samples[at * ch], frames, run * ch * sizeof(float));
        frames += run * ch;
        ring.writeFrame += run;
        count -= run;
    }
}

const float* RingPeek(const StreamRing& ring, uint64_t* contiguous) {
    uint64_t at = ring.readFrame % ring.capacityFrames;
    *contiguous = std::min(RingFill(ring), ring.capacityFrames - at);
    return &ring.samples[at * ring.channels];
}

void RingRequestSeek(StreamRing& ring, uint64_t frame) {
    ring.readFrame = ring.writeFrame = frame;
    ring.endOfStream = false;
    ring.startOverPending = false;
    ring.seekPending = true;
    ring.seekTarget = frame;
    ++ring.generation;
}

}  // namespace engine
