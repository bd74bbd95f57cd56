#include "net/net_decoder.h"

#include <algorithm>
#include <cstring>

#include "net/timeouts.h"

namespace engine {
namespace {

constexpr uint64_t kPcmBufferMs = 500;
// How long one ReadFrames may keep the engine's decode thread waiting.
constexpr int kUnderrunWaitMs = 100;
constexpr size_t kChunkFrames = 1024;

}  // namespace

NetDecoder::NetDecoder(std::unique_ptr<Decoder> inner, std::shared_ptr<NetStream> stream)
    : inner_(std::move(inner)), stream_(std::move(stream)) {
    format_ = inner_->Format();
    format_.lengthFrames = 0;
    format_.rawBytes = 0;
    channels_ = static_cast<size_t>(std::max(format_.channels, 1));
    capacity_ = std::max<size_t>(kChunkFrames * 2, format_.sampleRate * kPcmBufferMs / 1000);
    pcm_.assign(capacity_ * channels_, 0.0f);
    worker_ = std::thread([this] { Run(); });
}

NetDecoder::~NetDecoder() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stop_ = true;
    }
    stream_->Cancel();  // a read the worker is waiting in returns at once
    changed_.notify_all();
    worker_.join();
}

void NetDecoder::Run() {
    try {
        Decode();
    } catch (...) {
        // Out of memory in the format's decoder: the stream ends after the PCM already
        // here, like one whose server went away; other streams play on.
    }
    std::lock_guard<std::mutex> hold(lock_);
    ended_ = true;
    changed_.notify_all();
}

void NetDecoder::Decode() {
    std::vector<float> chunk(kChunkFrames * channels_);
    for (;;) {
        {
            std::unique_lock<std::mutex> hold(lock_);
            changed_.wait(hold, [this] { return stop_ || capacity_ - filled_ >= kChunkFrames; });
            if (stop_) return;
        }
        const int64_t got = inner_->ReadFrames(chunk.data(), kChunkFrames);
        if (got <= 0) return;
        std::lock_guard<std::mutex> hold(lock_);
        for (int64_t f = 0; f < got; ++f) {
            const size_t at = (readAt_ + filled_) % capacity_;
            std::memcpy(&pcm_[at * channels_], &chunk[static_cast<size_t>(f) * channels_], channels_ * sizeof(float));
            ++filled_;
        }
        changed_.notify_all();
    }
}

int64_t NetDecoder::ReadFrames(float* out, size_t maxFrames) {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait_for(hold, std::chrono::milliseconds(kUnderrunWaitMs), [this] { return filled_ > 0 || ended_; });
    if (filled_ > 0) {
        const size_t frames = std::min(maxFrames, filled_);
        for (size_t f = 0; f < frames; ++f) {
            std::memcpy(out + f * channels_, &pcm_[readAt_ * channels_], channels_ * sizeof(float));
            readAt_ = (readAt_ + 1) % capacity_;
        }
        filled_ -= frames;
        hold.unlock();
        changed_.notify_all();
        // A few frames now and then do not make a live stream: half a second does.
        starvedFrames_ += frames;
        if (starving_ && starvedFrames_ >= format_.sampleRate / 2) starving_ = false;
        return static_cast<int64_t>(frames);
    }
    if (ended_) return 0;
    if (!starving_) {
        starving_ = true;
        starvedSince_ = Clock::now();
        starvedFrames_ = 0;
    } else if (Clock::now() - starvedSince_ > std::chrono::milliseconds(kStarvedTimeoutMs)) {
        return 0;
    }
    // The network is late. One silent frame gives the decode thread back without
    // adding an audible gap; once the ring runs dry the mixer plays silence and
    // carries on when audio comes again.
    std::fill(out, out + channels_, 0.0f);
    return 1;
}

}  // namespace engine
