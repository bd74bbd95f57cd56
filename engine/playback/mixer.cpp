#include "playback/mixer.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "playback/device_samples.h"

namespace engine {
namespace {

// The lock is held for microseconds; a few polite retries cover any overlap.
bool TryLockBriefly(std::mutex& lock) {
    for (int attempt = 0; attempt < 32; ++attempt) {
        if (lock.try_lock()) return true;
        std::this_thread::yield();
    }
    return false;
}

}  // namespace

Mixer::Mixer(int slotCount) : slots_(static_cast<size_t>(std::max(slotCount, 1))) {}

void Mixer::Configure(OutputFormat format) {
    // New states are made outside the lock (they allocate). A state the API swaps in
    // meanwhile was made for the new format already and is left alone.
    const size_t count = slots_.size();
    std::vector<ChannelState*> old(count, nullptr);
    std::vector<std::shared_ptr<StreamJob>> jobs(count);
    std::vector<std::unique_ptr<ChannelState>> made(count);
    auto differs = [&](const ChannelState* ch) {
        return ch && (ch->outputRate != format.sampleRate || ch->outputChannels != format.channels);
    };
    {
        std::lock_guard<std::mutex> hold(audioLock_);
        format_ = format;
        for (size_t i = 0; i < count; ++i) {
            if (!differs(slots_[i].get())) continue;
            old[i] = slots_[i].get();
            jobs[i] = old[i]->job;
        }
    }
    for (size_t i = 0; i < count; ++i) {
        if (jobs[i]) made[i] = MakeChannelState(jobs[i], format.channels, format.sampleRate);
    }
    std::lock_guard<std::mutex> hold(audioLock_);
    for (size_t i = 0; i < count; ++i) {
        if (!made[i] || slots_[i].get() != old[i] || !differs(old[i])) continue;
        CarryOverChannel(*old[i], *made[i]);
        std::swap(slots_[i], made[i]);  // the old state is freed below, after unlocking
    }
}

void Mixer::Render(float* out, uint32_t frames) {
    const int outCh = format_.channels;
    std::memset(out, 0, sizeof(float) * frames * outCh);
    if (TryLockBriefly(audioLock_)) {
        std::lock_guard<std::mutex> hold(audioLock_, std::adopt_lock);
        try {
            for (auto& slot : slots_) {
                if (slot && !slot->paused) MixChannel(*slot, out, frames, outCh, rendered_);
            }
        } catch (...) {
            // Nothing here is meant to throw; if it does, the period is silence and the
            // output thread goes on with the next one.
            std::memset(out, 0, sizeof(float) * frames * outCh);
        }
    }
    rendered_ += frames;
    for (size_t i = 0; i < static_cast<size_t>(frames) * outCh; ++i) out[i] = LimitToFullScale(out[i]);
}

void Mixer::PublishQueued(uint64_t queued) {
    played_.store(rendered_ > queued ? rendered_ - queued : 0, std::memory_order_release);
}

std::unique_ptr<ChannelState> Mixer::Replace(int index, std::unique_ptr<ChannelState> state) {
    std::swap(slots_[index], state);
    return state;
}

}  // namespace engine
