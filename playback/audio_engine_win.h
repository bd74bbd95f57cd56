#pragma once
#include "playback/audio_engine.h"

// Loads fmodex.dll by its bare name (the system's normal library search) and resolves the
// 24 entry points. A library that lacks one of them is unloaded again and counts as not
// loaded. Returns whether the library is available.
bool LoadAudioEngine(AudioEngine& engine);

// Frees the library; every entry point becomes null.
void UnloadAudioEngine(AudioEngine& engine);
