#pragma once
// The software mixer: a fixed set of channel slots mixed into the output's
// format. Three threads meet here:
//   - the output thread calls Render and PublishQueued for every device period;
//   - the decode thread fills the stream rings;
//   - API threads start, stop, pause, seek and read positions and wave data.
// One mutex, the audio lock, guards the slots, the channel states and the
// rings; everyone holds it for microseconds (no I/O, no decoding, no allocation
// under it). The output thread only ever try-locks it (see Render).
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "playback/channel_state.h"

namespace engine {

struct OutputFormat {
    uint32_t sampleRate = 44100;
    int channels = 2;
};

class Mixer {
public:
    explicit Mixer(int slotCount);

    // Output thread, before its first period and whenever it opens a device of another
    // rate or channel count: channels already playing are rebuilt for the new format and
    // go on from the frame they had reached.
    void Configure(OutputFormat format);
    // The output thread reads it freely; others hold the audio lock.
    OutputFormat Format() const { return format_; }

    // Output thread. Fills `frames` interleaved float frames, limited to -1..1 (channels
    // carry decoded levels above full scale through their volume; only the mix is limited).
    // Contract: runs on the real-time output thread, so it never blocks, never
    // allocates or frees, never does I/O. If the audio lock is busy for more
    // than a moment it renders silence for this period instead of waiting;
    // channels then simply do not advance. A period whose mixing throws is
    // silence too.
    void Render(float* out, uint32_t frames);
    // Output thread: after handing a period to the device, how many rendered
    // frames still wait in the device queue. Positions and wave data follow
    // what has been played, not what has been mixed.
    void PublishQueued(uint64_t queuedFrames);

    std::mutex& AudioLock() { return audioLock_; }
    // With the audio lock held:
    int SlotCount() const { return static_cast<int>(slots_.size()); }
    ChannelState* Slot(int index) { return slots_[index].get(); }
    // Swaps a slot's state; the old one is returned so that the caller frees it after unlocking.
    std::unique_ptr<ChannelState> Replace(int index, std::unique_ptr<ChannelState> state);
    uint64_t PlayedFrames() const { return played_.load(std::memory_order_acquire); }

private:
    std::mutex audioLock_;
    std::vector<std::unique_ptr<ChannelState>> slots_;
    OutputFormat format_;
    uint64_t rendered_ = 0;  // output thread only
    std::atomic<uint64_t> played_{0};
};

}  // namespace engine
