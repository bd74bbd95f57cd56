#include "playback/decode_thread.h"

#include <algorithm>
#include <chrono>

namespace engine {
namespace {

// Rings hold at least 250 ms, so a poll this often keeps them full; seeks and new
// streams wake the thread at once.
constexpr auto kIdlePoll = std::chrono::milliseconds(100);

}  // namespace

DecodeThread::DecodeThread(std::mutex& audioLock) : audioLock_(audioLock), thread_([this] { Run(); }) {}

DecodeThread::~DecodeThread() {
    {
        std::lock_guard<std::mutex> hold(jobsLock_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void DecodeThread::Add(std::shared_ptr<StreamJob> job) {
    {
        std::lock_guard<std::mutex> hold(jobsLock_);
        jobs_.push_back(std::move(job));
        pokes_ = true;
    }
    wake_.notify_all();
}

void DecodeThread::Remove(const std::shared_ptr<StreamJob>& job) {
    {
        std::lock_guard<std::mutex> hold(jobsLock_);
        jobs_.erase(std::remove(jobs_.begin(), jobs_.end(), job), jobs_.end());
    }
    std::lock_guard<std::mutex> busy(job->serviceLock);
    job->removed = true;
}

void DecodeThread::Wake() {
    {
        std::lock_guard<std::mutex> hold(jobsLock_);
        pokes_ = true;
    }
    wake_.notify_all();
}

void DecodeThread::Run() {
    std::unique_lock<std::mutex> hold(jobsLock_);
    while (!stop_) {
        bool worked = false;
        try {
            pass_.assign(jobs_.begin(), jobs_.end());
        } catch (...) {
            pass_.clear();  // no memory for this pass: try again after the poll
        }
        hold.unlock();
        for (auto& job : pass_) worked |= ServiceOrEnd(*job);
        pass_.clear();
        hold.lock();
        if (worked) continue;
        wake_.wait_for(hold, kIdlePoll, [this] { return stop_ || pokes_; });
        pokes_ = false;
    }
}

bool DecodeThread::ServiceOrEnd(StreamJob& job) {
    std::lock_guard<std::mutex> busy(job.serviceLock);
    if (job.removed) return false;
    try {
        return Service(job);
    } catch (...) {
        // The stream ends like a read error: its channel stops once the frames already in
        // the ring have played. A later seek or replay tries the decoder again.
        std::lock_guard<std::mutex> hold(audioLock_);
        job.ring.endOfStream = true;
        job.ring.seekPending = job.ring.startOverPending = false;
        return true;
    }
}

// One step for one stream: a pending seek, or one chunk of decoding. Returns
// whether there was anything to do.
bool DecodeThread::Service(StreamJob& job) {
    StreamRing& ring = job.ring;
    uint64_t generation, space, target = 0;
    bool seek = false, startOver = false;
    {
        std::lock_guard<std::mutex> hold(audioLock_);
        if (ring.seekPending) {
            seek = true;
            target = ring.seekTarget;
            ring.seekPending = false;
        } else if (ring.startOverPending) {
            startOver = true;
            ring.startOverPending = false;
        }
        generation = ring.generation;
        space = RingSpace(ring);
        if (!seek && !startOver && ring.endOfStream) return false;
    }
    if (seek || startOver) {
        if (!job.decoder->SeekToFrame(target)) {
            std::lock_guard<std::mutex> hold(audioLock_);
            if (ring.generation == generation) ring.endOfStream = true;
        }
        return true;
    }
    const uint64_t chunk = job.scratch.size() / ring.channels;
    if (space == 0) return false;
    const int64_t got = job.decoder->ReadFrames(job.scratch.data(), static_cast<size_t>(std::min(space, chunk)));
    std::lock_guard<std::mutex> hold(audioLock_);
    if (ring.generation != generation || ring.seekPending) return true;  // a seek overtook this chunk
    if (got > 0) {
        RingWrite(ring, job.scratch.data(), static_cast<uint64_t>(got));
    } else if (got == 0 && ring.loopsLeft != 0 && job.format.lengthFrames > 0) {
        if (ring.loopsLeft > 0) --ring.loopsLeft;
        ring.startOverPending = true;  // frames keep counting on; positions fold them back
    } else {
        ring.endOfStream = true;  // the end, or a read error that ends the track early
    }
    return true;
}

}  // namespace engine
