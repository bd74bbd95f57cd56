#pragma once
#include "fmodex.h"

constexpr int kEntryPointCount = 24;

// The names the player resolves in fmodex.dll, in the order it resolves them.
extern const char* const kEntryPointNames[kEntryPointCount];

// The sound library as the player sees it: the loaded module, its entry points, and the
// one system with the current sound and its channel. A null `library` means the library
// is not available; then every entry point is null too.
struct AudioEngine {
    void* library = nullptr;

    FMOD_RESULT(F_API* System_Create)(FMOD_SYSTEM**) = nullptr;
    FMOD_RESULT(F_API* System_Init)(FMOD_SYSTEM*, int, FMOD_INITFLAGS, void*) = nullptr;
    FMOD_RESULT(F_API* System_Release)(FMOD_SYSTEM*) = nullptr;
    FMOD_RESULT(F_API* System_CreateStream)(FMOD_SYSTEM*, const char*, FMOD_MODE, FMOD_CREATESOUNDEXINFO*,
                                            FMOD_SOUND**) = nullptr;
    FMOD_RESULT(F_API* System_PlaySound)(FMOD_SYSTEM*, FMOD_CHANNELINDEX, FMOD_SOUND*, FMOD_BOOL,
                                         FMOD_CHANNEL**) = nullptr;
    FMOD_RESULT(F_API* Channel_Stop)(FMOD_CHANNEL*) = nullptr;
    FMOD_RESULT(F_API* Channel_GetWaveData)(FMOD_CHANNEL*, float*, int, int) = nullptr;
    FMOD_RESULT(F_API* Channel_GetPosition)(FMOD_CHANNEL*, unsigned int*, FMOD_TIMEUNIT) = nullptr;
    FMOD_RESULT(F_API* Channel_SetPosition)(FMOD_CHANNEL*, unsigned int, FMOD_TIMEUNIT) = nullptr;
    FMOD_RESULT(F_API* Channel_GetPaused)(FMOD_CHANNEL*, FMOD_BOOL*) = nullptr;
    FMOD_RESULT(F_API* Channel_SetPaused)(FMOD_CHANNEL*, FMOD_BOOL) = nullptr;
    FMOD_RESULT(F_API* Channel_IsPlaying)(FMOD_CHANNEL*, FMOD_BOOL*) = nullptr;
    FMOD_RESULT(F_API* Sound_Release)(FMOD_SOUND*) = nullptr;
    FMOD_RESULT(F_API* Sound_GetNumTags)(FMOD_SOUND*, int*, int*) = nullptr;
    FMOD_RESULT(F_API* Sound_GetTag)(FMOD_SOUND*, const char*, int, FMOD_TAG*) = nullptr;
    FMOD_RESULT(F_API* Sound_GetLength)(FMOD_SOUND*, unsigned int*, FMOD_TIMEUNIT) = nullptr;
    FMOD_RESULT(F_API* Channel_SetLoopCount)(FMOD_CHANNEL*, int) = nullptr;
    FMOD_RESULT(F_API* Channel_SetVolume)(FMOD_CHANNEL*, float) = nullptr;
    FMOD_RESULT(F_API* Channel_GetVolume)(FMOD_CHANNEL*, float*) = nullptr;
    FMOD_RESULT(F_API* System_SetStreamBufferSize)(FMOD_SYSTEM*, unsigned int, FMOD_TIMEUNIT) = nullptr;
    FMOD_RESULT(F_API* System_GetStreamBufferSize)(FMOD_SYSTEM*, unsigned int*, FMOD_TIMEUNIT*) = nullptr;
    FMOD_RESULT(F_API* Sound_GetFormat)(FMOD_SOUND*, FMOD_SOUND_TYPE*, FMOD_SOUND_FORMAT*, int*, int*) = nullptr;
    FMOD_RESULT(F_API* Channel_SetPriority)(FMOD_CHANNEL*, int) = nullptr;
    FMOD_RESULT(F_API* Channel_GetPriority)(FMOD_CHANNEL*, int*) = nullptr;

    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* sound = nullptr;
    FMOD_CHANNEL* channel = nullptr;
};

// Stores an address found by name into the entry point of that index (order of
// kEntryPointNames); reads whether an entry point has an address.
void SetEntryPoint(AudioEngine& engine, int index, void* address);
bool HasEntryPoint(const AudioEngine& engine, int index);

// True when every slot has an address: a library missing one counts as not loaded.
bool AllEntryPointsResolved(const AudioEngine& engine);

extern AudioEngine g_audio;
