#include "playback/audio_engine_win.h"

#include <windows.h>

bool LoadAudioEngine(AudioEngine& engine) {
    // A file that is not a DLL must give an error result, not a system dialog.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA("fmodex.dll");
    SetErrorMode(oldMode);

    engine.library = module;
    for (int i = 0; i < kEntryPointCount; ++i) {
        void* address = module ? reinterpret_cast<void*>(GetProcAddress(module, kEntryPointNames[i])) : nullptr;
        SetEntryPoint(engine, i, address);
    }
    if (module && !AllEntryPointsResolved(engine)) UnloadAudioEngine(engine);
    return engine.library != nullptr;
}

void UnloadAudioEngine(AudioEngine& engine) {
    if (engine.library) FreeLibrary(static_cast<HMODULE>(engine.library));
    engine.library = nullptr;
    for (int i = 0; i < kEntryPointCount; ++i) SetEntryPoint(engine, i, nullptr);
}
