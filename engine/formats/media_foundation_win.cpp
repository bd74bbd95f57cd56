#include "formats/media_foundation_win.h"

#include <mfapi.h>

namespace engine {
namespace {

template <typename Fn>
void Resolve(HMODULE module, const char* name, Fn& fn) {
    fn = module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

const MediaFoundation& LoadMediaFoundation() {
    static const MediaFoundation loaded = [] {
        MediaFoundation m;
        HMODULE plat = LoadLibraryW(L"mfplat.dll");
        HMODULE readwrite = LoadLibraryW(L"mfreadwrite.dll");
        HRESULT(WINAPI * startup)(ULONG, DWORD) = nullptr;
        Resolve(plat, "MFStartup", startup);
        Resolve(plat, "MFCreateMFByteStreamOnStream", m.createByteStream);
        Resolve(plat, "MFCreateMediaType", m.createMediaType);
        Resolve(plat, "MFCreateSample", m.createSample);
        Resolve(plat, "MFCreateMemoryBuffer", m.createMemoryBuffer);
        Resolve(plat, "MFTEnumEx", m.enumerate);
        Resolve(readwrite, "MFCreateSourceReaderFromByteStream", m.createSourceReader);
        m.started = startup && SUCCEEDED(startup(MF_VERSION, MFSTARTUP_LITE));
        return m;
    }();
    return loaded;
}

}  // namespace engine
