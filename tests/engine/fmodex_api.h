#pragma once
// The 24 entry points the player resolves by name, as a table: the same tests run against
// the native library (linked) and against fmodex.dll under Wine (LoadLibraryA and
// GetProcAddress only, as the player does).
#include "fmodex.h"

#define QUENDRA_FMODEX_ENTRIES(X)                                                                      \
    X(FMOD_System_Create) X(FMOD_System_Init) X(FMOD_System_Release) X(FMOD_System_CreateStream)       \
    X(FMOD_System_PlaySound) X(FMOD_System_SetStreamBufferSize) X(FMOD_System_GetStreamBufferSize)     \
    X(FMOD_Sound_Release) X(FMOD_Sound_GetNumTags) X(FMOD_Sound_GetTag) X(FMOD_Sound_GetLength)        \
    X(FMOD_Sound_GetFormat) X(FMOD_Channel_Stop) X(FMOD_Channel_GetWaveData) X(FMOD_Channel_GetPosition) \
    X(FMOD_Channel_SetPosition) X(FMOD_Channel_GetPaused) X(FMOD_Channel_SetPaused)                    \
    X(FMOD_Channel_IsPlaying) X(FMOD_Channel_SetLoopCount) X(FMOD_Channel_SetVolume)                   \
    X(FMOD_Channel_GetVolume) X(FMOD_Channel_SetPriority) X(FMOD_Channel_GetPriority)

namespace enginetest {

struct FmodexApi {
#define QUENDRA_ENTRY(name) decltype(&::name) name = nullptr;
    QUENDRA_FMODEX_ENTRIES(QUENDRA_ENTRY)
#undef QUENDRA_ENTRY
};

// Loaded once per test program; null entries when loading failed.
const FmodexApi& Api();
// Whether every entry point was found.
bool ApiComplete();

}  // namespace enginetest
