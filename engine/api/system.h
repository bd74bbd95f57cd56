#pragma once
// The engine behind the C API: one mixer, one decode thread, one output, and
// the sounds and channels made through it. Every public call takes the API
// lock first (calls from several threads are serialised); the audio lock is
// taken inside, briefly, in that order only.
#include <memory>
#include <mutex>

#include "api/platform.h"
#include "api/sound.h"
#include "playback/decode_thread.h"

namespace engine {

struct ChannelId {
    int slot = -1;
    uint64_t playId = 0;
};

class System {
public:
    explicit System(const Platform& platform);
    ~System();
    System(const System&) = delete;
    System& operator=(const System&) = delete;

    FMOD_RESULT Init(int maxChannels);
    // Stops the threads and the output; sounds stay readable but no longer play.
    void Shutdown();
    const char* OutputName();

    FMOD_RESULT SetStreamBufferSize(unsigned int size, FMOD_TIMEUNIT unit);
    FMOD_RESULT GetStreamBufferSize(unsigned int* size, FMOD_TIMEUNIT* unit);
    FMOD_RESULT CreateStream(const char* path, FMOD_MODE mode, std::shared_ptr<Sound>* out);
    // index: a slot, FMOD_CHANNEL_FREE, or FMOD_CHANNEL_REUSE with `reuse` naming the channel.
    FMOD_RESULT PlaySound(int index, Sound& sound, bool paused, const ChannelId* reuse, ChannelId* out);
    // Stops its channel at once and ends its decoding.
    void ReleaseSound(Sound& sound);

    FMOD_RESULT GetNumTags(Sound& sound, int* count, int* updated);
    FMOD_RESULT GetTag(Sound& sound, const char* name, int index, FMOD_TAG* tag);
    FMOD_RESULT GetLength(Sound& sound, unsigned int* length, FMOD_TIMEUNIT unit);

    FMOD_RESULT Stop(ChannelId id);
    FMOD_RESULT SetPaused(ChannelId id, bool paused);
    FMOD_RESULT GetPaused(ChannelId id, bool* paused);
    FMOD_RESULT IsPlaying(ChannelId id, bool* playing);
    FMOD_RESULT GetPosition(ChannelId id, uint64_t* value, FMOD_TIMEUNIT unit);
    FMOD_RESULT SetPosition(ChannelId id, uint64_t value, FMOD_TIMEUNIT unit);
    FMOD_RESULT SetVolume(ChannelId id, float volume);
    FMOD_RESULT GetVolume(ChannelId id, float* volume);
    FMOD_RESULT SetPriority(ChannelId id, int priority);
    FMOD_RESULT GetPriority(ChannelId id, int* priority);
    FMOD_RESULT SetLoopCount(ChannelId id, int count);
    FMOD_RESULT GetWaveData(ChannelId id, float* out, int count, int sourceChannel);

private:
    // With the audio lock held: the live state of a channel, or null when stale.
    ChannelState* Live(ChannelId id);
    int PickSlot(int index, const ChannelId* reuse);

    std::mutex apiLock_;
    Platform platform_;
    bool initialised_ = false;
    std::unique_ptr<Mixer> mixer_;
    std::shared_ptr<DecodeThread> decoder_;  // shared: a release waits for its stream outside the API lock
    std::unique_ptr<Output> output_;
    unsigned int bufferSize_ = 1000;
    FMOD_TIMEUNIT bufferUnit_ = FMOD_TIMEUNIT_MS;
    uint64_t nextPlayId_ = 1;
};

}  // namespace engine
