#include "playback/audio_engine.h"

#include <cstring>

AudioEngine g_audio;

const char* const kEntryPointNames[kEntryPointCount] = {
    "FMOD_System_Create",         "FMOD_System_Init",          "FMOD_System_Release",
    "FMOD_System_CreateStream",   "FMOD_System_PlaySound",     "FMOD_Channel_Stop",
    "FMOD_Channel_GetWaveData",   "FMOD_Channel_GetPosition",  "FMOD_Channel_SetPosition",
    "FMOD_Channel_GetPaused",     "FMOD_Channel_SetPaused",    "FMOD_Channel_IsPlaying",
    "FMOD_Sound_Release",         "FMOD_Sound_GetNumTags",     "FMOD_Sound_GetTag",
    "FMOD_Sound_GetLength",       "FMOD_Channel_SetLoopCount", "FMOD_Channel_SetVolume",
    "FMOD_Channel_GetVolume",     "FMOD_System_SetStreamBufferSize", "FMOD_System_GetStreamBufferSize",
    "FMOD_Sound_GetFormat",       "FMOD_Channel_SetPriority",  "FMOD_Channel_GetPriority",
};

namespace {

// Entry points are function pointers of different types; they are moved as bytes, which
// is how addresses found by name are meant to be stored.
void* SlotAddress(const AudioEngine& e, int index) {
    const void* const slots[kEntryPointCount] = {
        &e.System_Create,       &e.System_Init,        &e.System_Release,   &e.System_CreateStream,
        &e.System_PlaySound,    &e.Channel_Stop,       &e.Channel_GetWaveData, &e.Channel_GetPosition,
        &e.Channel_SetPosition, &e.Channel_GetPaused,  &e.Channel_SetPaused, &e.Channel_IsPlaying,
        &e.Sound_Release,       &e.Sound_GetNumTags,   &e.Sound_GetTag,     &e.Sound_GetLength,
        &e.Channel_SetLoopCount, &e.Channel_SetVolume, &e.Channel_GetVolume, &e.System_SetStreamBufferSize,
        &e.System_GetStreamBufferSize, &e.Sound_GetFormat, &e.Channel_SetPriority, &e.Channel_GetPriority,
    };
    if (index < 0 || index >= kEntryPointCount) return nullptr;
    return const_cast<void*>(slots[index]);
}

} // namespace

void SetEntryPoint(AudioEngine& engine, int index, void* address) {
    void* slot = SlotAddress(engine, index);
    if (slot) std::memcpy(slot, &address, sizeof address);
}

bool HasEntryPoint(const AudioEngine& engine, int index) {
    const void* slot = SlotAddress(engine, index);
    if (!slot) return false;
    void* address = nullptr;
    std::memcpy(&address, slot, sizeof address);
    return address != nullptr;
}

bool AllEntryPointsResolved(const AudioEngine& engine) {
    for (int i = 0; i < kEntryPointCount; ++i)
        if (!HasEntryPoint(engine, i)) return false;
    return true;
}
