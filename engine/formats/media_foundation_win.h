#pragma once
// Media Foundation's entry points, from mfplat.dll and mfreadwrite.dll loaded at run time
// (the library still starts where they are missing), for the source reader and the AAC
// decoder transform alike.
#include <windows.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <mftransform.h>

namespace engine {

struct MediaFoundation {
    HRESULT(WINAPI* createByteStream)(IStream*, IMFByteStream**) = nullptr;
    HRESULT(WINAPI* createSourceReader)(IMFByteStream*, IMFAttributes*, IMFSourceReader**) = nullptr;
    HRESULT(WINAPI* createMediaType)(IMFMediaType**) = nullptr;
    HRESULT(WINAPI* createSample)(IMFSample**) = nullptr;
    HRESULT(WINAPI* createMemoryBuffer)(DWORD, IMFMediaBuffer**) = nullptr;
    HRESULT(WINAPI* enumerate)(GUID, UINT32, const MFT_REGISTER_TYPE_INFO*, const MFT_REGISTER_TYPE_INFO*,
                               IMFActivate***, UINT32*) = nullptr;
    bool started = false;  // MFStartup succeeded; each user checks the entry points it needs
};

// Loaded and started once, kept for the life of the process.
const MediaFoundation& LoadMediaFoundation();

}  // namespace engine
