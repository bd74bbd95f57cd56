#include "api/system.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "formats/sound_banks.h"
#include "formats/time_units.h"

namespace engine {
namespace {

constexpr int kMaxSlots = 64;
constexpr OutputFormat kSilentFormat{44100, 2};

bool KnownUnit(FMOD_TIMEUNIT unit) {
    return unit == FMOD_TIMEUNIT_MS || unit == FMOD_TIMEUNIT_PCM || unit == FMOD_TIMEUNIT_PCMBYTES ||
           unit == FMOD_TIMEUNIT_RAWBYTES;
}

}  // namespace

System::System(const Platform& platform) : platform_(platform) {
    SetSoundBankSource({platform.soundBankPaths, platform.openFile});
}

System::~System() { Shutdown(); }

FMOD_RESULT System::Init(int maxChannels) {
    std::lock_guard<std::mutex> api(apiLock_);
    if (initialised_) return FMOD_ERR_INITIALIZED;
    if (maxChannels <= 0) return FMOD_ERR_INVALID_PARAM;
    mixer_ = std::make_unique<Mixer>(std::min(maxChannels, kMaxSlots));
    decoder_ = std::make_shared<DecodeThread>(mixer_->AudioLock());
    if (platform_.startDeviceOutput) output_ = platform_.startDeviceOutput(*mixer_);
    if (!output_) output_ = StartNullOutput(*mixer_, kSilentFormat);
    initialised_ = true;
    return FMOD_OK;
}

void System::Shutdown() {
    std::lock_guard<std::mutex> api(apiLock_);
    output_.reset();   // the output thread ends first: nothing renders any more
    decoder_.reset();
    mixer_.reset();
    initialised_ = false;
}

const char* System::OutputName() {
    std::lock_guard<std::mutex> api(apiLock_);
    return output_ ? output_->Name() : "none";
}

FMOD_RESULT System::SetStreamBufferSize(unsigned int size, FMOD_TIMEUNIT unit) {
    if (size == 0 || !KnownUnit(unit)) return FMOD_ERR_INVALID_PARAM;
    std::lock_guard<std::mutex> api(apiLock_);
    bufferSize_ = size;
    bufferUnit_ = unit;
    return FMOD_OK;
}

FMOD_RESULT System::GetStreamBufferSize(unsigned int* size, FMOD_TIMEUNIT* unit) {
    std::lock_guard<std::mutex> api(apiLock_);
    if (size) *size = bufferSize_;
    if (unit) *unit = bufferUnit_;
    return FMOD_OK;
}

FMOD_RESULT System::CreateStream(const char* path, FMOD_MODE mode, std::shared_ptr<Sound>* out) {
    if (mode & (FMOD_OPENMEMORY | FMOD_OPENUSER | FMOD_OPENRAW)) return FMOD_ERR_UNSUPPORTED;
    auto sound = std::make_shared<Sound>();
    StreamBufferSize buffer;
    {
        std::lock_guard<std::mutex> api(apiLock_);
        buffer = {bufferSize_, bufferUnit_};
    }
    // Opening reads headers only; it needs no lock and may take a while on slow media.
    FMOD_RESULT result = OpenSound(path, mode, platform_, buffer, *sound);
    if (result != FMOD_OK) return result;
    std::lock_guard<std::mutex> api(apiLock_);
    if (!(mode & FMOD_OPENONLY) && sound->idleDecoder) {
        if (!initialised_) return FMOD_ERR_UNINITIALIZED;
        sound->job = MakeStreamJob(std::move(sound->idleDecoder), RingFramesFor(bufferSize_, bufferUnit_, sound->format));
        sound->job->ring.loopsLeft = (mode & FMOD_LOOP_NORMAL) ? -1 : 0;
        decoder_->Add(sound->job);
    }
    *out = std::move(sound);
    return FMOD_OK;
}

ChannelState* System::Live(ChannelId id) {
    if (!mixer_ || id.slot < 0 || id.slot >= mixer_->SlotCount()) return nullptr;
    ChannelState* ch = mixer_->Slot(id.slot);
    return ch && ch->playId == id.playId ? ch : nullptr;
}

int System::PickSlot(int index, const ChannelId* reuse) {
    if (index >= 0) return index < mixer_->SlotCount() ? index : -2;
    if (index == FMOD_CHANNEL_REUSE && reuse && Live(*reuse)) return reuse->slot;
    if (index != FMOD_CHANNEL_FREE && index != FMOD_CHANNEL_REUSE) return -2;
    const uint64_t played = mixer_->PlayedFrames();
    for (int i = 0; i < mixer_->SlotCount(); ++i) {
        ChannelState* ch = mixer_->Slot(i);
        if (!ch || ChannelEnded(*ch, played)) return i;
    }
    return -1;
}

FMOD_RESULT System::PlaySound(int index, Sound& sound, bool paused, const ChannelId* reuse, ChannelId* out) {
    std::lock_guard<std::mutex> api(apiLock_);
    if (!initialised_) return FMOD_ERR_UNINITIALIZED;
    if (!sound.job && !sound.idleDecoder) return FMOD_ERR_FORMAT;  // a playlist has nothing to play
    if (!sound.job) {
        sound.job = MakeStreamJob(std::move(sound.idleDecoder), RingFramesFor(bufferSize_, bufferUnit_, sound.format));
        decoder_->Add(sound.job);
    }
    std::unique_ptr<ChannelState> state, previous, replaced;  // the last two freed after unlocking
    int slot;
    {
        std::unique_lock<std::mutex> audio(mixer_->AudioLock());
        // The output may switch to a device of another format at any moment: the state is
        // made outside the lock and must still match once it is held.
        while (!state || state->outputRate != mixer_->Format().sampleRate ||
               state->outputChannels != mixer_->Format().channels) {
            const OutputFormat format = mixer_->Format();
            audio.unlock();
            state = MakeChannelState(sound.job, format.channels, format.sampleRate);
            audio.lock();
        }
        state->paused = paused;
        state->playId = nextPlayId_++;
        state->loops = (sound.mode & FMOD_LOOP_NORMAL) != 0;
        slot = PickSlot(index, reuse);
        if (slot >= 0) {
            // A stream plays in one channel at a time; playing it again restarts it.
            if (Live({sound.slot, sound.playId}) && sound.slot != slot)
                previous = mixer_->Replace(sound.slot, nullptr);
            if (sound.startedOnce) SeekChannel(*state, 0);
            else state->consumedFrame = state->historyStart = sound.job->ring.readFrame;
            sound.job->ring.loopsLeft = state->loops ? -1 : 0;
            replaced = mixer_->Replace(slot, std::move(state));
            sound.slot = slot;
        }
    }
    if (slot < 0) return slot == -1 ? FMOD_ERR_CHANNEL_ALLOC : FMOD_ERR_INVALID_PARAM;
    if (sound.startedOnce) decoder_->Wake();
    sound.startedOnce = true;
    sound.playId = nextPlayId_ - 1;
    *out = {sound.slot, sound.playId};
    return FMOD_OK;
}

void System::ReleaseSound(Sound& sound) {
    if (sound.abandon) sound.abandon();  // before anything waits for the decode thread
    std::shared_ptr<DecodeThread> decoder;
    std::unique_ptr<ChannelState> stopped;
    {
        std::lock_guard<std::mutex> api(apiLock_);
        if (mixer_) {
            std::lock_guard<std::mutex> audio(mixer_->AudioLock());
            if (Live({sound.slot, sound.playId})) stopped = mixer_->Replace(sound.slot, nullptr);
        }
        decoder = decoder_;
        sound.slot = -1;
    }
    // A read that hangs (a slow share) holds up this release only, not other calls.
    if (decoder && sound.job) decoder->Remove(sound.job);
}

FMOD_RESULT System::GetNumTags(Sound& sound, int* count, int* updated) {
    std::lock_guard<std::mutex> api(apiLock_);
    const uint64_t changes = sound.tags->ChangeCount();
    sound.apiTags = sound.tags->Snapshot();
    if (count) *count = static_cast<int>(sound.apiTags->size());
    if (updated) {
        *updated = static_cast<int>(std::count_if(sound.apiTags->begin(), sound.apiTags->end(), [&](const Tag& t) {
            return t.changeCount > sound.tagChangesSeen;
        }));
    }
    sound.tagChangesSeen = changes;
    return FMOD_OK;
}

FMOD_RESULT System::GetTag(Sound& sound, const char* name, int index, FMOD_TAG* tag) {
    if (!tag || index < 0) return FMOD_ERR_INVALID_PARAM;
    std::lock_guard<std::mutex> api(apiLock_);
    if (!sound.apiTags) sound.apiTags = sound.tags->Snapshot();
    int seen = 0;
    for (const Tag& t : *sound.apiTags) {
        if (name && t.name != name) continue;
        if (seen++ != index) continue;
        tag->type = t.type;
        tag->datatype = t.dataType;
        tag->name = const_cast<char*>(t.name.c_str());
        tag->data = const_cast<char*>(t.data.c_str());
        tag->datalen = static_cast<unsigned int>(t.data.size() + 1);  // with its terminating zero
        tag->updated = t.changeCount > sound.tagChangesSeen;
        return FMOD_OK;
    }
    return FMOD_ERR_TAGNOTFOUND;
}

FMOD_RESULT System::GetLength(Sound& sound, unsigned int* length, FMOD_TIMEUNIT unit) {
    if (!length || !KnownUnit(unit)) return FMOD_ERR_INVALID_PARAM;
    std::lock_guard<std::mutex> api(apiLock_);
    uint64_t value = 0;
    if (unit == FMOD_TIMEUNIT_RAWBYTES) value = sound.format.rawBytes;
    else if (!FramesToUnit(sound.format.lengthFrames, unit, sound.format, &value)) return FMOD_ERR_FORMAT;
    *length = Saturate32(value);
    return FMOD_OK;
}

FMOD_RESULT System::Stop(ChannelId id) {
    std::lock_guard<std::mutex> api(apiLock_);
    if (!mixer_) return FMOD_ERR_INVALID_HANDLE;
    std::unique_ptr<ChannelState> stopped;
    std::lock_guard<std::mutex> audio(mixer_->AudioLock());
    if (!Live(id)) return FMOD_ERR_INVALID_HANDLE;
    stopped = mixer_->Replace(id.slot, nullptr);
    return FMOD_OK;
}

// The channel calls below share one shape: both locks, a live channel, one field.
#define WITH_LIVE_CHANNEL(id, ch)                                  \
    std::lock_guard<std::mutex> api(apiLock_);                     \
    if (!mixer_) return FMOD_ERR_INVALID_HANDLE;                   \
    std::lock_guard<std::mutex> audio(mixer_->AudioLock());        \
    ChannelState* ch = Live(id);                                   \
    if (!ch) return FMOD_ERR_INVALID_HANDLE

FMOD_RESULT System::SetPaused(ChannelId id, bool paused) {
    WITH_LIVE_CHANNEL(id, ch);
    ch->paused = paused;
    return FMOD_OK;
}

FMOD_RESULT System::GetPaused(ChannelId id, bool* paused) {
    WITH_LIVE_CHANNEL(id, ch);
    *paused = ch->paused;
    return FMOD_OK;
}

FMOD_RESULT System::IsPlaying(ChannelId id, bool* playing) {
    WITH_LIVE_CHANNEL(id, ch);
    *playing = !ChannelEnded(*ch, mixer_->PlayedFrames());
    return FMOD_OK;
}

FMOD_RESULT System::GetPosition(ChannelId id, uint64_t* value, FMOD_TIMEUNIT unit) {
    if (!KnownUnit(unit)) return FMOD_ERR_INVALID_PARAM;
    WITH_LIVE_CHANNEL(id, ch);
    const uint64_t frame = PositionInTrack(AudibleFrame(*ch, mixer_->PlayedFrames()), ch->job->format.lengthFrames);
    return FramesToUnit(frame, unit, ch->job->format, value) ? FMOD_OK : FMOD_ERR_FORMAT;
}

FMOD_RESULT System::SetPosition(ChannelId id, uint64_t value, FMOD_TIMEUNIT unit) {
    if (!KnownUnit(unit)) return FMOD_ERR_INVALID_PARAM;
    {
        WITH_LIVE_CHANNEL(id, ch);
        if (ch->job->format.lengthFrames == 0) return FMOD_ERR_UNSUPPORTED;  // a live stream cannot seek
        uint64_t frame;
        if (!UnitToFrames(value, unit, ch->job->format, &frame)) return FMOD_ERR_FORMAT;
        SeekChannel(*ch, frame);
    }
    decoder_->Wake();
    return FMOD_OK;
}

FMOD_RESULT System::SetVolume(ChannelId id, float volume) {
    if (!std::isfinite(volume)) return FMOD_ERR_INVALID_FLOAT;
    WITH_LIVE_CHANNEL(id, ch);
    ch->volume = volume < 0.0f ? 0.0f : (volume > 1.0f ? 1.0f : volume);
    return FMOD_OK;
}

FMOD_RESULT System::GetVolume(ChannelId id, float* volume) {
    WITH_LIVE_CHANNEL(id, ch);
    *volume = ch->volume;
    return FMOD_OK;
}

FMOD_RESULT System::SetPriority(ChannelId id, int priority) {
    if (priority < 0 || priority > 256) return FMOD_ERR_INVALID_PARAM;
    WITH_LIVE_CHANNEL(id, ch);
    ch->priority = priority;
    return FMOD_OK;
}

FMOD_RESULT System::GetPriority(ChannelId id, int* priority) {
    WITH_LIVE_CHANNEL(id, ch);
    *priority = ch->priority;
    return FMOD_OK;
}

FMOD_RESULT System::SetLoopCount(ChannelId id, int count) {
    if (count < -1) return FMOD_ERR_INVALID_PARAM;
    {
        WITH_LIVE_CHANNEL(id, ch);
        // As usual for this API, only sounds opened with FMOD_LOOP_NORMAL loop.
        if (!ch->loops) return FMOD_OK;
        StreamRing& ring = ch->job->ring;
        ring.loopsLeft = count;
        // The decoder may have reached the end already while the channel still plays.
        if (count != 0 && ring.endOfStream && !ch->drained && ch->job->format.lengthFrames > 0) {
            ring.endOfStream = false;
            ring.startOverPending = true;
        }
    }
    decoder_->Wake();
    return FMOD_OK;
}

FMOD_RESULT System::GetWaveData(ChannelId id, float* out, int count, int sourceChannel) {
    if (count <= 0 || count > static_cast<int>(kWaveHistoryFrames)) return FMOD_ERR_INVALID_PARAM;
    WITH_LIVE_CHANNEL(id, ch);
    if (sourceChannel < 0 || sourceChannel >= ch->job->ring.channels) return FMOD_ERR_INVALID_PARAM;
    const uint64_t end = AudibleFrame(*ch, mixer_->PlayedFrames());
    return ReadWaveHistory(*ch, end, sourceChannel, out, count) ? FMOD_OK : FMOD_ERR_NOTREADY;
}

#undef WITH_LIVE_CHANNEL

}  // namespace engine
