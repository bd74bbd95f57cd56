#include "api/platform.h"
#include "formats/system_decoders.h"
#include "io/cd_drive.h"
#include "io/file_reader.h"
#include "playback/wasapi_output.h"

namespace engine {

const Platform& CurrentPlatform() {
    static const Platform platform{OpenWin32File, StartWasapiOutput, OpenCdDrive, kSystemFormats,
                                     kSystemFormatCount};
    return platform;
}

}  // namespace engine
