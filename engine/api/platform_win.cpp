#include "api/platform.h"
#include "api/sound_bank_paths_win.h"
#include "formats/system_decoders.h"
#include "io/cd_drive.h"
#include "io/file_reader.h"
#include "playback/wasapi_output.h"

namespace engine {

const Platform& CurrentPlatform() {
    static const Platform platform{OpenWin32File, StartWasapiOutput, OpenCdDrive, kSystemFormats,
                                     kSystemFormatCount, SoundBankPathsWin};
    return platform;
}

}  // namespace engine
