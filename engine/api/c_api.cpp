// The exported C functions: handle checks, then the engine. Nothing thrown
// inside may cross this boundary.
#include <new>

#include "api/handles.h"
#include "formats/time_units.h"

using namespace engine;

namespace {

template <typename Body>
FMOD_RESULT Guarded(Body&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return FMOD_ERR_MEMORY;
    } catch (...) {
        return FMOD_ERR_INTERNAL;
    }
}

bool FindSound(FMOD_SOUND* handle, HandleTarget* target) { return FindHandle(handle, HandleKind::Sound, target); }
bool FindChannel(FMOD_CHANNEL* handle, HandleTarget* target) {
    return FindHandle(handle, HandleKind::Channel, target);
}

}  // namespace

extern "C" {

F_EXPORT FMOD_RESULT F_API FMOD_System_Create(FMOD_SYSTEM** system) {
    if (!system) return FMOD_ERR_INVALID_PARAM;
    *system = nullptr;
    return Guarded([&] {
        HandleTarget target;
        target.kind = HandleKind::System;
        target.system = std::make_shared<System>(CurrentPlatform());
        *system = static_cast<FMOD_SYSTEM*>(AddHandle(std::move(target)));
        return FMOD_OK;
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_System_Init(FMOD_SYSTEM* system, int maxchannels, FMOD_INITFLAGS, void*) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindHandle(system, HandleKind::System, &t)) return FMOD_ERR_INVALID_HANDLE;
        return t.system->Init(maxchannels);
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_System_Release(FMOD_SYSTEM* system) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindHandle(system, HandleKind::System, &t)) return FMOD_ERR_INVALID_HANDLE;
        t.system->Shutdown();
        RemoveHandlesOf(t.system.get());
        return FMOD_OK;
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_System_CreateStream(FMOD_SYSTEM* system, const char* name, FMOD_MODE mode,
                                                    FMOD_CREATESOUNDEXINFO*, FMOD_SOUND** sound) {
    if (!sound) return FMOD_ERR_INVALID_PARAM;
    *sound = nullptr;
    return Guarded([&] {
        HandleTarget t;
        if (!FindHandle(system, HandleKind::System, &t)) return FMOD_ERR_INVALID_HANDLE;
        if (!name) return FMOD_ERR_INVALID_PARAM;
        std::shared_ptr<Sound> made;
        FMOD_RESULT r = t.system->CreateStream(name, mode, &made);
        if (r != FMOD_OK) return r;
        t.kind = HandleKind::Sound;
        t.sound = std::move(made);
        *sound = static_cast<FMOD_SOUND*>(AddHandle(std::move(t)));
        return FMOD_OK;
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_System_PlaySound(FMOD_SYSTEM* system, FMOD_CHANNELINDEX channelid, FMOD_SOUND* sound,
                                                 FMOD_BOOL paused, FMOD_CHANNEL** channel) {
    return Guarded([&] {
        HandleTarget sys, snd, reuse;
        const bool haveReuse = channel && FindChannel(*channel, &reuse);
        if (channel) *channel = nullptr;
        if (!FindHandle(system, HandleKind::System, &sys)) return FMOD_ERR_INVALID_HANDLE;
        if (!FindSound(sound, &snd) || snd.system != sys.system) return FMOD_ERR_INVALID_HANDLE;
        ChannelId id;
        FMOD_RESULT r = sys.system->PlaySound(channelid, *snd.sound, paused != 0,
                                              haveReuse && reuse.system == sys.system ? &reuse.channel : nullptr, &id);
        if (r != FMOD_OK) return r;
        void* handle = AddChannelHandle(sys.system, id);
        if (channel) *channel = static_cast<FMOD_CHANNEL*>(handle);
        return FMOD_OK;
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_System_SetStreamBufferSize(FMOD_SYSTEM* system, unsigned int size, FMOD_TIMEUNIT unit) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindHandle(system, HandleKind::System, &t)) return FMOD_ERR_INVALID_HANDLE;
        return t.system->SetStreamBufferSize(size, unit);
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_System_GetStreamBufferSize(FMOD_SYSTEM* system, unsigned int* size,
                                                           FMOD_TIMEUNIT* unit) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindHandle(system, HandleKind::System, &t)) return FMOD_ERR_INVALID_HANDLE;
        return t.system->GetStreamBufferSize(size, unit);
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Sound_Release(FMOD_SOUND* sound) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindSound(sound, &t)) return FMOD_ERR_INVALID_HANDLE;
        RemoveHandle(sound);
        t.system->ReleaseSound(*t.sound);
        return FMOD_OK;
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetNumTags(FMOD_SOUND* sound, int* numtags, int* numtagsupdated) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindSound(sound, &t)) return FMOD_ERR_INVALID_HANDLE;
        return t.system->GetNumTags(*t.sound, numtags, numtagsupdated);
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetTag(FMOD_SOUND* sound, const char* name, int index, FMOD_TAG* tag) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindSound(sound, &t)) return FMOD_ERR_INVALID_HANDLE;
        return t.system->GetTag(*t.sound, name, index, tag);
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetLength(FMOD_SOUND* sound, unsigned int* length, FMOD_TIMEUNIT unit) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindSound(sound, &t)) return FMOD_ERR_INVALID_HANDLE;
        return t.system->GetLength(*t.sound, length, unit);
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetFormat(FMOD_SOUND* sound, FMOD_SOUND_TYPE* type, FMOD_SOUND_FORMAT* format,
                                                int* channels, int* bits) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindSound(sound, &t)) return FMOD_ERR_INVALID_HANDLE;
        // Format facts never change after opening: no lock needed.
        const StreamFormat& f = t.sound->format;
        if (type) *type = f.type;
        if (format) *format = f.format;
        if (channels) *channels = f.channels;
        if (bits) *bits = f.bitsPerSample;
        return FMOD_OK;
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_Stop(FMOD_CHANNEL* channel) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindChannel(channel, &t)) return FMOD_ERR_INVALID_HANDLE;
        FMOD_RESULT r = t.system->Stop(t.channel);
        RemoveHandle(channel);
        return r;
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetWaveData(FMOD_CHANNEL* channel, float* wavearray, int numvalues,
                                                    int channeloffset) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindChannel(channel, &t)) return FMOD_ERR_INVALID_HANDLE;
        if (!wavearray) return FMOD_ERR_INVALID_PARAM;
        return t.system->GetWaveData(t.channel, wavearray, numvalues, channeloffset);
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetPosition(FMOD_CHANNEL* channel, unsigned int* position,
                                                    FMOD_TIMEUNIT unit) {
    if (!position) return FMOD_ERR_INVALID_PARAM;
    *position = 0;
    return Guarded([&] {
        HandleTarget t;
        if (!FindChannel(channel, &t)) return FMOD_ERR_INVALID_HANDLE;
        uint64_t value = 0;
        FMOD_RESULT r = t.system->GetPosition(t.channel, &value, unit);
        *position = Saturate32(value);
        return r;
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetPosition(FMOD_CHANNEL* channel, unsigned int position, FMOD_TIMEUNIT unit) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindChannel(channel, &t)) return FMOD_ERR_INVALID_HANDLE;
        return t.system->SetPosition(t.channel, position, unit);
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetPaused(FMOD_CHANNEL* channel, FMOD_BOOL* paused) {
    if (!paused) return FMOD_ERR_INVALID_PARAM;
    *paused = 0;
    return Guarded([&] {
        HandleTarget t;
        if (!FindChannel(channel, &t)) return FMOD_ERR_INVALID_HANDLE;
        bool value = false;
        FMOD_RESULT r = t.system->GetPaused(t.channel, &value);
        *paused = value;
        return r;
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetPaused(FMOD_CHANNEL* channel, FMOD_BOOL paused) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindChannel(channel, &t)) return FMOD_ERR_INVALID_HANDLE;
        return t.system->SetPaused(t.channel, paused != 0);
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_IsPlaying(FMOD_CHANNEL* channel, FMOD_BOOL* isplaying) {
    if (!isplaying) return FMOD_ERR_INVALID_PARAM;
    *isplaying = 0;
    return Guarded([&] {
        HandleTarget t;
        if (!FindChannel(channel, &t)) return FMOD_ERR_INVALID_HANDLE;
        bool value = false;
        FMOD_RESULT r = t.system->IsPlaying(t.channel, &value);
        *isplaying = value;
        return r;
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetLoopCount(FMOD_CHANNEL* channel, int loopcount) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindChannel(channel, &t)) return FMOD_ERR_INVALID_HANDLE;
        return t.system->SetLoopCount(t.channel, loopcount);
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetVolume(FMOD_CHANNEL* channel, float volume) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindChannel(channel, &t)) return FMOD_ERR_INVALID_HANDLE;
        return t.system->SetVolume(t.channel, volume);
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetVolume(FMOD_CHANNEL* channel, float* volume) {
    if (!volume) return FMOD_ERR_INVALID_PARAM;
    *volume = 0.0f;
    return Guarded([&] {
        HandleTarget t;
        if (!FindChannel(channel, &t)) return FMOD_ERR_INVALID_HANDLE;
        return t.system->GetVolume(t.channel, volume);
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetPriority(FMOD_CHANNEL* channel, int priority) {
    return Guarded([&] {
        HandleTarget t;
        if (!FindChannel(channel, &t)) return FMOD_ERR_INVALID_HANDLE;
        return t.system->SetPriority(t.channel, priority);
    });
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetPriority(FMOD_CHANNEL* channel, int* priority) {
    if (!priority) return FMOD_ERR_INVALID_PARAM;
    *priority = 0;
    return Guarded([&] {
        HandleTarget t;
        if (!FindChannel(channel, &t)) return FMOD_ERR_INVALID_HANDLE;
        return t.system->GetPriority(t.channel, priority);
    });
}

}  // extern "C"
