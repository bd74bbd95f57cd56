#include "api/platform.h"
#include "io/file_reader.h"
#include "playback/wasapi_output.h"

namespace engine {

const Platform& CurrentPlatform() {
    static const Platform platform{OpenWin32File, StartWasapiOutput};
    return platform;
}

}  // namespace engine
