#pragma once
// The platform pieces the engine needs: how to open a local file and which
// audio output to start. fmodex.dll uses Win32 files and WASAPI; the native
// build and the tests use stdio and the null output.
#include <memory>
#include <string>
#include <vector>

#include "formats/format_open.h"
#include "io/cd_device.h"
#include "io/reader.h"
#include "playback/output.h"

namespace engine {

struct Platform {
    std::unique_ptr<Reader> (*openFile)(const char* path, FMOD_RESULT* result);
    // A device output, or null when no device can be opened (the engine then runs the null output).
    std::unique_ptr<Output> (*startDeviceOutput)(Mixer& mixer);
    // The device of the CD drive a path such as "D:" names; null with FMOD_OK when it names
    // none, null with an error when it cannot be opened. Null where there are no CD drives.
    std::unique_ptr<CdDevice> (*openCdDrive)(const char* path, FMOD_RESULT* result) = nullptr;
    // Format rows for the decoders the system has (Windows Media, Media Foundation), tried
    // beside the library's own; none where there are no such decoders.
    const FormatEntry* systemFormats = nullptr;
    size_t systemFormatCount = 0;
    // Sound bank files for MIDI, best first (UTF-8 paths); null where there are none.
    std::vector<std::string> (*soundBankPaths)() = nullptr;
};

// Defined once per shared library (platform_win.cpp or platform_portable.cpp).
const Platform& CurrentPlatform();

}  // namespace engine
