#pragma once
// Plays a network stream through the format's own decoder without ever making
// the engine's decode thread wait for the network: a worker thread of this
// stream runs the inner decoder into a small PCM buffer, and ReadFrames only
// copies from there, waiting at most kUnderrunWaitMs. A late network lets the
// ring run dry (the mixer plays silence and carries on); a stream that brings
// less than half a second of audio in kStarvedTimeoutMs of running empty, or
// whose decoder ended, ends. No seeking, no length.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "formats/decoder.h"
#include "net/net_stream.h"
#include "net/socket.h"

namespace engine {

class NetDecoder : public Decoder {
public:
    NetDecoder(std::unique_ptr<Decoder> inner, std::shared_ptr<NetStream> stream);
    ~NetDecoder() override;

    const StreamFormat& Format() const override { return format_; }
    int64_t ReadFrames(float* out, size_t maxFrames) override;
    bool SeekToFrame(uint64_t) override { return false; }

private:
    // The worker: Decode behind a barrier; either way the stream has ended after it.
    void Run();
    void Decode();

    std::unique_ptr<Decoder> inner_;  // worker thread only
    std::shared_ptr<NetStream> stream_;
    StreamFormat format_;
    size_t channels_;

    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<float> pcm_;  // ring of capacity_ frames
    size_t capacity_ = 0, readAt_ = 0, filled_ = 0;
    bool ended_ = false, stop_ = false;
    // ReadFrames' thread only: since when the buffer keeps running empty, and the
    // frames that came meanwhile.
    bool starving_ = false;
    Clock::time_point starvedSince_;
    uint64_t starvedFrames_ = 0;

    std::thread worker_;
};

}  // namespace engine
