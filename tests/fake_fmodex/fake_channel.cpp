#include "call_text.h"
#include "fake_library.h"

// Channels stay valid for good: after their sound is released or they are stopped they
// simply no longer play, so the player's shutdown calls on an old channel succeed.

FMOD_RESULT FakeLibrary::ChannelStop(FMOD_CHANNEL* channel) {
    ChannelRecord* record = FindChannel(channel);
    Call call{"FMOD_Channel_Stop", {ChannelText(channel)}, ChannelSection(record)};
    FMOD_RESULT result = Announce(call, record ? FMOD_OK : FMOD_ERR_INVALID_HANDLE);
    if (result == FMOD_OK) {
        record->stopped = true;
    }
    return result;
}

FMOD_RESULT FakeLibrary::ChannelGetWaveData(FMOD_CHANNEL* channel, float* samples, int count, int channelOffset) {
    ChannelRecord* record = FindChannel(channel);
    Call call{"FMOD_Channel_GetWaveData",
              {ChannelText(channel), PointerText(samples), std::to_string(count), std::to_string(channelOffset)},
              ChannelSection(record)};
    FMOD_RESULT result = FMOD_OK;
    if (!record) {
        result = FMOD_ERR_INVALID_HANDLE;
    } else if (!samples || count < 0 || channelOffset < 0) {
        result = FMOD_ERR_INVALID_PARAM;
    }
    const std::vector<float>& wave = SoundSettings(ChannelSection(record)).wave;
    result = Announce(call, result);
    if (result == FMOD_OK) {
        for (int i = 0; i < count; i++) {
            samples[i] = wave.empty() ? 0.0f : wave[i % wave.size()];
        }
    }
    return result;
}

FMOD_RESULT FakeLibrary::ChannelGetPosition(FMOD_CHANNEL* channel, unsigned* position, FMOD_TIMEUNIT unit) {
    ChannelRecord* record = FindChannel(channel);
    Call call{"FMOD_Channel_GetPosition", {ChannelText(channel), PointerText(position), std::to_string(unit)},
              ChannelSection(record)};
    FMOD_RESULT result = FMOD_OK;
    if (!record) {
        result = FMOD_ERR_INVALID_HANDLE;
    } else if (!position || unit != FMOD_TIMEUNIT_MS) {
        result = FMOD_ERR_INVALID_PARAM;
    }
    result = Announce(call, result);
    if (result == FMOD_OK) {
        *position = record->positionMs;
    }
    return result;
}

FMOD_RESULT FakeLibrary::ChannelSetPosition(FMOD_CHANNEL* channel, unsigned position, FMOD_TIMEUNIT unit) {
    ChannelRecord* record = FindChannel(channel);
    Call call{"FMOD_Channel_SetPosition", {ChannelText(channel), std::to_string(position), std::to_string(unit)},
              ChannelSection(record)};
    FMOD_RESULT result = FMOD_OK;
    if (!record) {
        result = FMOD_ERR_INVALID_HANDLE;
    } else if (unit != FMOD_TIMEUNIT_MS) {
        result = FMOD_ERR_INVALID_PARAM;
    }
    result = Announce(call, result);
    if (result == FMOD_OK) {
        record->positionMs = position;
    }
    return result;
}

FMOD_RESULT FakeLibrary::ChannelGetPaused(FMOD_CHANNEL* channel, FMOD_BOOL* paused) {
    ChannelRecord* record = FindChannel(channel);
    Call call{"FMOD_Channel_GetPaused", {ChannelText(channel), PointerText(paused)}, ChannelSection(record)};
    FMOD_RESULT result = !record ? FMOD_ERR_INVALID_HANDLE : !paused ? FMOD_ERR_INVALID_PARAM : FMOD_OK;
    result = Announce(call, result);
    if (result == FMOD_OK) {
        *paused = record->paused ? 1 : 0;
    }
    return result;
}

FMOD_RESULT FakeLibrary::ChannelSetPaused(FMOD_CHANNEL* channel, FMOD_BOOL paused) {
    ChannelRecord* record = FindChannel(channel);
    Call call{"FMOD_Channel_SetPaused", {ChannelText(channel), std::to_string(paused)}, ChannelSection(record)};
    FMOD_RESULT result = Announce(call, record ? FMOD_OK : FMOD_ERR_INVALID_HANDLE);
    if (result == FMOD_OK) {
        record->paused = paused != 0;
    }
    return result;
}

FMOD_RESULT FakeLibrary::ChannelIsPlaying(FMOD_CHANNEL* channel, FMOD_BOOL* playing) {
    ChannelRecord* record = FindChannel(channel);
    Call call{"FMOD_Channel_IsPlaying", {ChannelText(channel), PointerText(playing)}, ChannelSection(record)};
    FMOD_RESULT result = !record ? FMOD_ERR_INVALID_HANDLE : !playing ? FMOD_ERR_INVALID_PARAM : FMOD_OK;
    result = Announce(call, result);
    if (result == FMOD_OK) {
        bool soundAlive = record->sound && !record->sound->released && !record->stopped;
        *playing = soundAlive && SoundSettings(ChannelSection(record)).playing ? 1 : 0;
    }
    return result;
}

FMOD_RESULT FakeLibrary::ChannelSetLoopCount(FMOD_CHANNEL* channel, int loopCount) {
    ChannelRecord* record = FindChannel(channel);
    Call call{"FMOD_Channel_SetLoopCount", {ChannelText(channel), std::to_string(loopCount)}, ChannelSection(record)};
    return Announce(call, record ? FMOD_OK : FMOD_ERR_INVALID_HANDLE);
}

FMOD_RESULT FakeLibrary::ChannelSetVolume(FMOD_CHANNEL* channel, float volume) {
    ChannelRecord* record = FindChannel(channel);
    Call call{"FMOD_Channel_SetVolume", {ChannelText(channel), FloatText(volume)}, ChannelSection(record)};
    FMOD_RESULT result = Announce(call, record ? FMOD_OK : FMOD_ERR_INVALID_HANDLE);
    if (result == FMOD_OK) {
        record->volume = volume;
    }
    return result;
}

FMOD_RESULT FakeLibrary::ChannelGetVolume(FMOD_CHANNEL* channel, float* volume) {
    ChannelRecord* record = FindChannel(channel);
    Call call{"FMOD_Channel_GetVolume", {ChannelText(channel), PointerText(volume)}, ChannelSection(record)};
    FMOD_RESULT result = !record ? FMOD_ERR_INVALID_HANDLE : !volume ? FMOD_ERR_INVALID_PARAM : FMOD_OK;
    result = Announce(call, result);
    if (result == FMOD_OK) {
        *volume = record->volume;
    }
    return result;
}

FMOD_RESULT FakeLibrary::ChannelSetPriority(FMOD_CHANNEL* channel, int priority) {
    ChannelRecord* record = FindChannel(channel);
    Call call{"FMOD_Channel_SetPriority", {ChannelText(channel), std::to_string(priority)}, ChannelSection(record)};
    FMOD_RESULT result = Announce(call, record ? FMOD_OK : FMOD_ERR_INVALID_HANDLE);
    if (result == FMOD_OK) {
        record->priority = priority;
    }
    return result;
}

FMOD_RESULT FakeLibrary::ChannelGetPriority(FMOD_CHANNEL* channel, int* priority) {
    ChannelRecord* record = FindChannel(channel);
    Call call{"FMOD_Channel_GetPriority", {ChannelText(channel), PointerText(priority)}, ChannelSection(record)};
    FMOD_RESULT result = !record ? FMOD_ERR_INVALID_HANDLE : !priority ? FMOD_ERR_INVALID_PARAM : FMOD_OK;
    result = Announce(call, result);
    if (result == FMOD_OK) {
        *priority = record->priority;
    }
    return result;
}
