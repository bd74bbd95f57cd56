#include "api/platform.h"
#include "io/cd_drive.h"
#include "io/file_reader.h"
#include "playback/wasapi_output.h"

namespace engine {

const Platform& CurrentPlatform() {
    static const Platform platform{OpenWin32File, StartWasapiOutput, OpenCdDrive};
    return platform;
}

}  // namespace engine
